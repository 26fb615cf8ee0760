#include "common/Eventually.h"
#include "common/FakePortal.h"
#include "common/TestName.h"

#include "uikit/DesktopColorScheme.h"

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

} // namespace
