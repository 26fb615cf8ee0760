// The Settings window used as a person uses it: real presses, releases and keys at the
// controls' places, then what is drawn, what the file holds and how many reload notifications
// went out.
#include "SettingsScreen.h"

#include "common/TestName.h"

#include "preferences/PSTableCell.h"
#include "preferences/UISwitch.h"

#include <QApplication>

namespace {

// Presses Tab until `control` has the focus, as a keyboard user reaches it.
testing::AssertionResult tabTo(SettingsScreen& screen, QWidget* control) {
    for (int i = 0; i < 80; ++i) {
        if (QApplication::focusWidget() == control)
            return testing::AssertionSuccess();
        screen.key(Qt::Key_Tab);
    }
    return testing::AssertionFailure() << "Tab never reached the control";
}

struct SwitchCase {
    const char* name;
    const char* title;
    const char* key;
    bool keyboard; // Space on the focused switch, else a click
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class PersonSwitch : public testing::TestWithParam<SwitchCase> {};

// Each toggle is drawn at once, stored, and announced once; a second toggle goes back.
TEST_P(PersonSwitch, ToggleIsDrawnStoredAndAnnounced) {
    const SwitchCase& c = GetParam();
    SettingsScreen screen;
    PSTableCell* row = screen.row(QString::fromUtf8(c.title));
    ASSERT_NE(row, nullptr);
    UISwitch* control = screen.first<UISwitch>(row);
    ASSERT_NE(control, nullptr);
    const std::optional<bool> before = screen.switchDrawnOn(control);
    ASSERT_TRUE(before.has_value());
    if (c.keyboard) {
        ASSERT_TRUE(tabTo(screen, control));
    }

    for (int toggle = 1; toggle <= 2; ++toggle) {
        SCOPED_TRACE(toggle);
        const bool expected = toggle == 1 ? !*before : *before;
        if (c.keyboard)
            screen.key(Qt::Key_Space);
        else
            screen.tap(control);
        EXPECT_TRUE(eventually([&] { return screen.switchDrawnOn(control) == expected; },
                               "the thumb moved to the new side"));
        EXPECT_EQ(screen.stored(c.key), expected);
        EXPECT_EQ(screen.reloads(), toggle);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PersonSwitch,
                         testing::Values(SwitchCase{"click", "启用播放器", "enabled", false},
                                         SwitchCase{"space", "记住播放位置", "rememberPosition",
                                                    true}),
                         [](const auto& info) { return testName(info.param.name); });

} // namespace
