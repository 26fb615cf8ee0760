#include "common/Eventually.h"
#include "common/FakePortal.h"

#include "uikit/DesktopColorScheme.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// What the portal answers at the start is the appearance, and anything it cannot answer
// leaves it light: an answer waited for is in place when start() returns (before the first
// frame), a later one as soon as it comes.
TEST(DesktopColorScheme, TheAnswerAtTheStartSetsTheAppearance) {
    const auto light = UIUserInterfaceStyle::Light, dark = UIUserInterfaceStyle::Dark;
    const struct {
        const char* name;
        QVariant scheme; // invalid: no portal on the bus
        bool knowsReadOne;
        int wait, answerDelay; // what start() may wait, when the portal answers
        UIUserInterfaceStyle expected;
        std::optional<UIUserInterfaceStyle> atStart; // when start() returns, where it is sure
    } cases[] = {
        {"prefers dark", 1u, true, 100, 0, dark, dark},
        {"no preference", 0u, true, 100, 0, light, light},
        {"prefers light", 2u, true, 100, 0, light, light},
        {"answer not waited for", 1u, true, 0, 0, dark, light},
        {"portal without ReadOne", 1u, false, 100, 0, dark, std::nullopt},
        {"unknown scheme", 7u, true, 100, 0, light, light},
        {"not a number", QStringLiteral("dark"), true, 100, 0, light, light},
        {"no portal", QVariant(), true, 100, 0, light, light},
        {"answer later than waited for", 1u, true, 100, 300, dark, light},
    };
    for (const auto& c : cases) {
        UITraitCollection::setUserInterfaceStyleOfApplication(light);
        std::unique_ptr<FakePortal> portal;
        if (c.scheme.isValid()) {
            portal = std::make_unique<FakePortal>(c.scheme, c.knowsReadOne);
            portal->setAnswerDelay(c.answerDelay);
            ASSERT_TRUE(portal->registered()) << c.name;
        }
        DesktopColorScheme scheme(QDBusConnection::sessionBus());
        scheme.start(c.wait);
        const auto now = UITraitCollection::userInterfaceStyleOfApplication();
        EXPECT_EQ(c.atStart.value_or(now), now) << c.name << ", when start() returns";
        QTest::qWait(c.answerDelay + 50); // time for an answer that should change nothing
        EXPECT_TRUE(eventually(
            [&] { return UITraitCollection::userInterfaceStyleOfApplication() == c.expected; },
            c.name));
    }
    UITraitCollection::setUserInterfaceStyleOfApplication(light);
}
