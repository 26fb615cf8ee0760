// The pane worked from the keyboard alone: real key presses to whatever has the focus, then
// what has the focus, what the file holds, how many reload notifications went out and what is
// drawn.
#include "SettingsScreen.h"

#include "common/TestName.h"

#include "preferences/PSTableCell.h"
#include "preferences/UISlider.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

namespace {

QWidget* focused() {
    return QApplication::focusWidget();
}

// ---- walking ------------------------------------------------------------------------------

// From the window's own focus, Tab walks every control once, in reading order, and comes round
// to the first again; Shift+Tab walks the same way back.
TEST(PersonKeyboardWalk, TabReachesEveryControlInReadingOrderAndShiftTabWalksBack) {
    SettingsScreen screen;
    screen.key(Qt::Key_Tab);
    // Every row shown has its cell now, not only those seen so far: all their controls count.
    UITableView* table = screen.table();
    for (int s = 0; s < table->numberOfSections(); ++s) {
        for (int r = 0; r < table->numberOfRowsInSection(s); ++r) {
            if (table->rectForRowAtIndexPath({s, r}).height() > 0) {
                ASSERT_NE(table->cellForRowAtIndexPath({s, r}), nullptr) << s << "/" << r;
            }
        }
    }
    const QList<QWidget*> expected = screen.controls();
    ASSERT_EQ(focused(), expected.first()) << "the first Tab goes to the back button";

    QList<QWidget*> walked{focused()};
    for (qsizetype i = 1; i <= expected.size(); ++i) {
        screen.key(Qt::Key_Tab);
        walked << focused();
    }
    EXPECT_EQ(walked.mid(0, expected.size()), expected);
    EXPECT_EQ(walked.last(), expected.first()) << "Tab comes round";

    QList<QWidget*> back;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        screen.key(Qt::Key_Backtab);
        back.prepend(focused());
    }
    EXPECT_EQ(back, expected);
}

// Rows a key opened are walked too: switching karaoke on by Space shows its two rows, and Tab
// goes through their controls before the next group's.
TEST(PersonKeyboardWalk, RowsOpenedFromTheKeyboardAreWalked) {
    SettingsScreen screen;
    PSTableCell* karaoke = screen.row(QStringLiteral("卡拉 OK 高亮"));
    ASSERT_NE(karaoke, nullptr);
    ASSERT_TRUE(screen.tabTo(screen.first<UISwitch>(karaoke)));
    screen.key(Qt::Key_Space);
    ASSERT_EQ(screen.stored("karaoke"), true);
    screen.table()->finishAnimations();
    screen.key(Qt::Key_Tab);
    auto* field = qobject_cast<QLineEdit*>(focused());
    ASSERT_NE(field, nullptr) << "the highlight text row";
    EXPECT_EQ(field->accessibleName(), QStringLiteral("高亮文字"));
    screen.key(Qt::Key_Tab);
    EXPECT_EQ(focused()->accessibleName(), QStringLiteral("粗体高亮，更多信息"));
    screen.key(Qt::Key_Tab);
    EXPECT_EQ(focused()->accessibleName(), QStringLiteral("粗体高亮"));
}

// ---- slider rows ----------------------------------------------------------------------------

struct StepCase {
    const char* name;
    const char* title;
    const char* key;
    const char* control; // "-", "+" or "slider"
    int pressed;
    double stored; // after the one press
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

class PersonKeyboardStep : public testing::TestWithParam<StepCase> {};

// One key press on a slider row's control: the row's own step (or a bound), stored once,
// announced once, shown in the read-out; the focus stays.
TEST_P(PersonKeyboardStep, OnePressIsOneStoredStep) {
    const StepCase& c = GetParam();
    SettingsScreen screen;
    PSTableCell* row = screen.row(QString::fromUtf8(c.title));
    ASSERT_NE(row, nullptr);
    QWidget* control = QByteArray(c.control) == "slider"
                           ? static_cast<QWidget*>(screen.first<UISlider>(row))
                           : screen.labelled<QAbstractButton>(row, QString::fromLatin1(c.control));
    QWidget* readout = screen.widgetOfClass(row, "QEVValueLabel");
    ASSERT_NE(control, nullptr);
    ASSERT_NE(readout, nullptr);
    ASSERT_TRUE(screen.tabTo(control));

    screen.key(c.pressed);
    EXPECT_NEAR(screen.stored(c.key).toDouble(), c.stored, 1e-6);
    EXPECT_EQ(screen.reloads(), 1);
    EXPECT_TRUE(screen.draws(readout, QString::number(c.stored, 'f', 2)));
    EXPECT_EQ(focused(), control);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonKeyboardStep,
    testing::Values(StepCase{"right_fine", "音量", "volume", "slider", Qt::Key_Right, 0.81},
                    StepCase{"left_tenth", "播放速度", "playbackSpeed", "slider", Qt::Key_Left,
                             0.9},
                    StepCase{"up_whole", "跳转秒数", "skipSeconds", "slider", Qt::Key_Up, 16},
                    StepCase{"down_whole", "跳转秒数", "skipSeconds", "slider", Qt::Key_Down, 14},
                    StepCase{"home", "播放速度", "playbackSpeed", "slider", Qt::Key_Home, 0.5},
                    StepCase{"end", "播放速度", "playbackSpeed", "slider", Qt::Key_End, 3},
                    StepCase{"minus_space", "播放速度", "playbackSpeed", "-", Qt::Key_Space, 0.9},
                    StepCase{"plus_enter", "播放速度", "playbackSpeed", "+", Qt::Key_Enter, 1.1},
                    StepCase{"plus_return", "音量", "volume", "+", Qt::Key_Return, 0.81}),
    [](const auto& info) { return testName(info.param.name); });

class PersonKeyboardHold : public testing::TestWithParam<int> {};

// A key held on + steps as a held pointer does: the first step half a second in, then one every
// tenth of a second (never sooner; a busy machine may make them later), whatever the keyboard's
// own repeat rate; letting go stops it.
TEST_P(PersonKeyboardHold, AHeldKeyStepsAtTheHoldPaceAndStopsOnRelease) {
    const int key = GetParam();
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("跳转秒数"));
    ASSERT_NE(row, nullptr);
    QAbstractButton* plus = screen.labelled<QAbstractButton>(row, QStringLiteral("+"));
    ASSERT_TRUE(screen.tabTo(plus));

    QElapsedTimer held;
    held.start();
    screen.keyDown(key);
    int repeats = 0;
    while (held.elapsed() < 1500) {
        screen.wait(30); // a fast keyboard repeats about this often
        screen.keyRepeat(key);
        ++repeats;
    }
    screen.keyUp(key);
    const qint64 heldMs = held.elapsed();
    const double steps = screen.stored("skipSeconds").toDouble() - 15;
    EXPECT_GE(steps, 3) << "the hold did not repeat";
    EXPECT_LE(steps, double(heldMs - 500) / 100 + 1)
        << repeats << " repeats in " << heldMs << " ms";
    EXPECT_EQ(screen.reloads(), int(steps)) << "one notification per step";

    const QVariant released = screen.stored("skipSeconds");
    screen.wait(350);
    EXPECT_EQ(screen.stored("skipSeconds"), released) << "the steps went on after the release";
}

INSTANTIATE_TEST_SUITE_P(Keys, PersonKeyboardHold, testing::Values(Qt::Key_Space, Qt::Key_Enter),
                         [](const auto& info) {
                             return std::string(info.param == Qt::Key_Space ? "space" : "enter");
                         });

// The read-out opens the typed entry on Space or Enter; what is typed is stored once, Escape
// stores nothing, and either way the focus comes back to the read-out.
TEST(PersonKeyboardEntry, TheReadoutOpensTheTypedEntry) {
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("播放速度"));
    ASSERT_NE(row, nullptr);
    QWidget* readout = screen.widgetOfClass(row, "QEVValueLabel");
    ASSERT_TRUE(screen.tabTo(readout));

    const struct {
        int opening;
        const char* typed; // then Return; nothing: Escape
        double stored;
        int reloads;
    } ways[] = {{Qt::Key_Space, "2.5", 2.5, 1}, {Qt::Key_Enter, nullptr, 2.5, 1}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.opening);
        screen.key(way.opening);
        ASSERT_NE(screen.presented(), nullptr);
        ASSERT_NE(qobject_cast<QLineEdit*>(focused()), nullptr) << "the number box has the keys";
        if (way.typed) {
            screen.type(QString::fromLatin1(way.typed));
            screen.key(Qt::Key_Return);
        } else {
            screen.key(Qt::Key_Escape);
        }
        EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "the entry closed"));
        EXPECT_NEAR(screen.stored("playbackSpeed").toDouble(), way.stored, 1e-6);
        EXPECT_EQ(screen.reloads(), way.reloads);
        EXPECT_EQ(focused(), readout);
    }
}

// ---- colour rows ----------------------------------------------------------------------------

// Enter opens the picker; its colours are chosen with the arrows and Space; Escape closes it
// and gives the focus back to the row.
TEST(PersonKeyboardPicker, TheColourRowAndItsPickerAreWorkedByKeys) {
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("歌词颜色"));
    ASSERT_NE(row, nullptr);
    const QVariant before = screen.stored("lyricsColor");
    ASSERT_TRUE(screen.tabTo(row));
    screen.key(Qt::Key_Enter);
    QWidget* layer = screen.presented();
    ASSERT_NE(layer, nullptr);
    QWidget* colours = screen.widgetOfClass(layer, "QWellArray");
    ASSERT_NE(colours, nullptr);
    ASSERT_TRUE(screen.tabTo(colours));

    screen.key(Qt::Key_Right);
    screen.key(Qt::Key_Down);
    screen.key(Qt::Key_Space);
    const QString picked = screen.stored("lyricsColor").toString();
    EXPECT_NE(picked, before);
    EXPECT_EQ(screen.reloads(), 1);
    // Its close button is reached too, and named in words.
    QWidget* close = screen.labelled<QAbstractButton>(layer, QStringLiteral("✕"));
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(screen.tabTo(close));
    EXPECT_EQ(close->accessibleName(), QStringLiteral("关闭"));
    screen.key(Qt::Key_Escape);
    EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "Escape closed the picker"));
    EXPECT_EQ(focused(), row);
    EXPECT_EQ(row->accessibleName(), QStringLiteral("歌词颜色"));
    EXPECT_EQ(screen.reloads(), 1);
}

// ---- the navigation bar ---------------------------------------------------------------------

// The restart popover starts on 否; Escape and Enter there both mean 否; only Space or Enter on
// 是, reached by Tab, restarts (and announces it).
TEST(PersonKeyboardRestart, ThePopoverStartsOnNoAndYesNeedsAKeyOnIt) {
    SettingsScreen screen;
    QWidget* restart = screen.widgetOfClass(screen.window(), "RoundTemplateButton");
    ASSERT_NE(restart, nullptr);
    ASSERT_TRUE(screen.tabTo(restart));
    const auto answer = [] {
        auto* button = qobject_cast<QAbstractButton*>(focused());
        return button ? button->text() : QString();
    };

    const struct {
        int closing;
        bool tabFirst; // to 是
        int reloads;
    } ways[] = {{Qt::Key_Escape, false, 0}, {Qt::Key_Enter, false, 0}, {Qt::Key_Space, true, 1}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.closing);
        screen.key(Qt::Key_Return);
        ASSERT_NE(screen.presented(), nullptr);
        EXPECT_EQ(answer(), QStringLiteral("否"));
        if (way.tabFirst) {
            screen.key(Qt::Key_Tab);
            EXPECT_EQ(answer(), QStringLiteral("是"));
        }
        screen.key(way.closing);
        EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "the popover closed"));
        EXPECT_EQ(screen.reloads(), way.reloads);
        EXPECT_EQ(focused(), restart);
    }
}

// Enter on the back button leaves the pane for the list of entries.
TEST(PersonKeyboardBack, EnterOnTheBackButtonLeavesThePane) {
    SettingsScreen screen;
    QWidget* back = screen.widgetOfClass(screen.window(), "UIBackButton");
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(screen.tabTo(back));
    const QPointer<QWidget> list = screen.table();
    screen.key(Qt::Key_Enter);
    EXPECT_TRUE(eventually([&] { return !list || !list->isVisible(); }, "the pane went"));
    EXPECT_NE(screen.widgetOfClass(screen.window(), "EntryRow"), nullptr);
}

// ---- the ring -------------------------------------------------------------------------------

bool near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// A control reached by the keyboard is ringed in the pane tint, with a white inner edge, just
// outside it; a pointer press puts the ring away.
TEST(PersonKeyboardRing, TheFocusIsRingedOnlyWhileTheKeyboardIsUsed) {
    const QColor tint(121, 145, 153);
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("迷你播放器"));
    ASSERT_NE(row, nullptr);
    UISwitch* control = screen.first<UISwitch>(row);
    const QPoint band(-3, control->height() / 2); // the ring's band, left of the track
    const QPoint edge(-1, control->height() / 2); // its inner edge
    ASSERT_TRUE(near(screen.pixel(control, band), Qt::white, 2));

    ASSERT_TRUE(screen.tabTo(control));
    EXPECT_TRUE(near(screen.pixel(control, band), tint, 12))
        << screen.pixel(control, band).name().toStdString();
    EXPECT_TRUE(near(screen.pixel(control, edge), Qt::white, 40))
        << screen.pixel(control, edge).name().toStdString();

    screen.tap(row, QPoint(20, row->height() / 2)); // the title: nothing happens but the press
    EXPECT_EQ(focused(), control);
    EXPECT_TRUE(near(screen.pixel(control, band), Qt::white, 2))
        << screen.pixel(control, band).name().toStdString();
}

} // namespace
