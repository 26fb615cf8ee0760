#include "common/Eventually.h"
#include "common/FakePortal.h"
#include "common/TestName.h"

#include "uikit/DesktopColorScheme.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr auto kLight = UIUserInterfaceStyle::Light;
constexpr auto kDark = UIUserInterfaceStyle::Dark;

UIUserInterfaceStyle appearance() {
    return UITraitCollection::userInterfaceStyleOfApplication();
}

// Each test starts and ends in light appearance, as the application does.
class DesktopColorSchemeTest : public testing::Test {
protected:
    void SetUp() override { UITraitCollection::setUserInterfaceStyleOfApplication(kLight); }
    void TearDown() override { UITraitCollection::setUserInterfaceStyleOfApplication(kLight); }
};

struct ReadCase {
    const char* name;
    QVariant scheme; // invalid: no portal on the bus
    bool knowsReadOne;
    int wait; // what start() may wait for the answer
    UIUserInterfaceStyle expected;
    int answerDelay = 0;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class DesktopColorSchemeRead : public DesktopColorSchemeTest,
                               public testing::WithParamInterface<ReadCase> {};

// What the portal answers at the start is the appearance: a waited-for answer is in place when
// start() returns, a later one as soon as it comes.
TEST_P(DesktopColorSchemeRead, TheAnswerSetsTheAppearance) {
    const ReadCase& c = GetParam();
    std::unique_ptr<FakePortal> portal;
    if (c.scheme.isValid()) {
        portal = std::make_unique<FakePortal>(c.scheme, c.knowsReadOne);
        portal->setAnswerDelay(c.answerDelay);
        ASSERT_TRUE(portal->registered());
    }
    DesktopColorScheme scheme(QDBusConnection::sessionBus());
    scheme.start(c.wait);
    if (c.wait > 0 && c.knowsReadOne && c.answerDelay < c.wait)
        EXPECT_EQ(appearance(), c.expected) << "not in place before the first frame";
    QTest::qWait(c.answerDelay + 50);
    EXPECT_EQ(appearance(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DesktopColorSchemeRead,
    testing::Values(ReadCase{"prefers_dark", 1u, true, 100, kDark},
                    ReadCase{"no_preference", 0u, true, 100, kLight},
                    ReadCase{"prefers_light", 2u, true, 100, kLight},
                    ReadCase{"answer_not_waited_for", 1u, true, 0, kDark},
                    ReadCase{"portal_without_ReadOne", 1u, false, 100, kDark},
                    ReadCase{"unknown_scheme", 7u, true, 100, kLight},
                    ReadCase{"not_a_number", QStringLiteral("dark"), true, 100, kLight},
                    ReadCase{"no_portal", QVariant(), true, 100, kLight},
                    ReadCase{"answer_later_than_waited_for", 1u, true, 100, kDark, 300}),
    [](const auto& info) { return testName(info.param.name); });

// The person switches in the desktop's settings: each announced change of the scheme takes
// effect; other settings and unreadable values change nothing.
TEST_F(DesktopColorSchemeTest, FollowsEveryAnnouncedChange) {
    FakePortal portal(0u);
    ASSERT_TRUE(portal.registered());
    DesktopColorScheme scheme(QDBusConnection::sessionBus());
    scheme.start(100);
    ASSERT_EQ(appearance(), kLight);

    const struct {
        const char* what;
        QVariant value;
        QString nameSpace;
        QString key;
        UIUserInterfaceStyle expected;
    } changes[] = {
        {"to dark", 1u, FakePortal::kNamespace, FakePortal::kKey, kDark},
        {"another key", 0u, FakePortal::kNamespace, QStringLiteral("accent-color"), kDark},
        {"another namespace", 0u, QStringLiteral("org.gnome.desktop.interface"), FakePortal::kKey,
         kDark},
        {"unreadable", QStringLiteral("light"), FakePortal::kNamespace, FakePortal::kKey, kDark},
        {"to prefer light", 2u, FakePortal::kNamespace, FakePortal::kKey, kLight},
        {"dark again", 1u, FakePortal::kNamespace, FakePortal::kKey, kDark},
        {"no preference", 0u, FakePortal::kNamespace, FakePortal::kKey, kLight},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.what);
        QSignalSpy heard(&scheme, &DesktopColorScheme::styleApplied);
        portal.change(change.value, change.nameSpace, change.key);
        if (change.nameSpace == FakePortal::kNamespace && change.key == FakePortal::kKey &&
            change.value.metaType() != QMetaType::fromType<QString>())
            EXPECT_TRUE(eventually([&] { return heard.count() == 1; }, "the change was heard"));
        else
            QTest::qWait(50); // time for a signal that should change nothing
        EXPECT_EQ(appearance(), change.expected);
    }
}

} // namespace
