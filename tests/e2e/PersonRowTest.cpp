// Every kind of row worked as a person works it, by pointer or by key: what is done is stored
// once, announced once and drawn; when the file cannot be written, the row shows the file again
// and a message says why. Then the file changed by other programs and other windows.
#include "SettingsScreen.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSaveFile>
#include <cmath>
#include <sys/stat.h>

namespace {

struct RowCase {
    const char* name;
    const char* title;
    const char* key;
    QVariant start;      // what the file holds when the window opens
    QVariant after;      // what it holds then; as it started: nothing is written
    const char* control; // its class, "row", or a button's text
    struct {
        int key = 0;                  // pressed on the control reached by Tab
        const char* action = nullptr; // done through its accessible interface
        QVariant set = {};            // given through its accessible value interface
    } how = {};                       // none of them: a tap
    const char* typed = nullptr;      // into what opens, then Return (a colour: its close button)
    friend void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }
};

QWidget* controlOf(SettingsScreen& s, PSTableCell* row, const QByteArray& which) {
    if (which == "row")
        return row;
    return which.size() == 1 ? s.labelled<QAbstractButton>(row, QString::fromLatin1(which))
                             : s.widgetOfClass(row, which.constData());
}
QLineEdit* hexField(SettingsScreen& s) {
    for (QLineEdit* field : s.presented()->findChildren<QLineEdit*>())
        if (field->isVisible() && field->text().startsWith(u'#'))
            return field;
    return nullptr;
}
void act(SettingsScreen& s, PSTableCell* row, const RowCase& c) {
    QWidget* control = controlOf(s, row, c.control);
    ASSERT_NE(control, nullptr);
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(control);
    if (c.how.key) {
        ASSERT_TRUE(s.tabTo(control));
        s.key(c.how.key);
    } else if (c.how.action) {
        ASSERT_NE(reader->actionInterface(), nullptr);
        reader->actionInterface()->doAction(c.how.action);
    } else if (c.how.set.isValid()) {
        ASSERT_NE(reader->valueInterface(), nullptr);
        reader->valueInterface()->setCurrentValue(c.how.set);
    } else {
        s.tap(control);
    }
    if (!c.typed)
        return;
    const bool colour = QByteArray(c.control) == "row";
    if (colour) {
        ASSERT_TRUE(s.settle()); // the picker fades in
        ASSERT_NE(hexField(s), nullptr);
        ASSERT_TRUE(s.tabTo(hexField(s)));
    }
    ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    s.key(Qt::Key_A, Qt::ControlModifier);
    // At once, as pasted: typed, a colour's first digits would make a colour of their own.
    QTest::sendKeyEvent(QTest::Click, s.window()->windowHandle(), Qt::Key_unknown, c.typed, {});
    colour ? s.tap(s.labelled<QAbstractButton>(s.presented(), QStringLiteral("✕")))
           : s.key(Qt::Key_Return);
}

const RowCase kRows[] = {
    {"switch_click", "迷你播放器", "miniPlayer", true, false, "UISwitch"},
    {"switch_space", "记住播放位置", "rememberPosition", false, true, "UISwitch", {Qt::Key_Space}},
    {"switch_reader", "记住播放位置", "rememberPosition", false, true, "UISwitch", {0, "Toggle"}},
    {"minus_tap", "播放速度", "playbackSpeed", 1.0, 0.9, "-"},
    {"plus_return", "音量", "volume", 0.6, 0.61, "+", {Qt::Key_Return}},
    {"plus_reader", "播放速度", "playbackSpeed", 1.0, 1.1, "+", {0, "Press"}},
    {"slider_right", "音量", "volume", 0.6, 0.61, "UISlider", {Qt::Key_Right}},
    {"slider_down", "跳转秒数", "skipSeconds", 15.0, 14.0, "UISlider", {Qt::Key_Down}},
    {"slider_home", "播放速度", "playbackSpeed", 1.0, 0.5, "UISlider", {Qt::Key_Home}},
    {"slider_end", "播放速度", "playbackSpeed", 1.0, 3.0, "UISlider", {Qt::Key_End}},
    {"slider_reader", "音量", "volume", 0.8, 0.79, "UISlider", {0, "Decrease"}},
    {"slider_set", "歌词偏移", "lyricsOffset", 0.0, -2.5, "UISlider", {0, {}, -2.5}},
    {"slider_set_above", "跳转秒数", "skipSeconds", 15.0, 60.0, "UISlider", {0, {}, 1e9}},
    {"slider_set_nan", "跳转秒数", "skipSeconds", 15.0, 15.0, "UISlider", {0, {}, std::nan("")}},
    {"slider_set_text", "跳转秒数", "skipSeconds", 15.0, 15.0, "UISlider", {0, {}, "abc"}},
    {"typed_negative", "歌词偏移", "lyricsOffset", 0.0, -5.0, "QEVValueLabel", {}, "-5"},
    {"typed_below", "睡眠定时", "sleepMinutes", 10.0, 0.0, "QEVValueLabel", {Qt::Key_Space}, "-5"},
    {"typed_comma", "睡眠定时", "sleepMinutes", 10.0, 7.5, "QEVValueLabel", {Qt::Key_Enter}, "7,5"},
    {"text", "标题格式", "titleFormat", "Artist", "Nope", "QLineEdit", {}, "Nope"},
    {"colour", "歌词颜色", "lyricsColor", "#5856D6", "#FF3B30", "row", {}, "#ff3b30"},
    {"alpha", "高亮颜色", "highlightColor", "#5856D6CC", "#FF3B30CC", "row", {}, "#ff3b30"},
};

SettingsScreen::Start startingWith(const RowCase& c) {
    return {.prepare = [&c](InstalledRoot& root) {
        root.writeFile(kPreferences, libplistBinary(QVariantMap{{c.key, c.start}}));
    }};
}

class PersonRow : public testing::TestWithParam<RowCase> {};

TEST_P(PersonRow, WhatIsDoneIsStoredOnceAnnouncedOnceAndDrawn) {
    const RowCase& c = GetParam();
    SettingsScreen screen(startingWith(c));
    PSTableCell* row = screen.row(QString::fromUtf8(c.title));
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(screen.shows(row, c.start));
    const QPointF offset = screen.table()->contentOffset();

    act(screen, row, c);

    EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "nothing left presented"));
    // A press through the accessible interface clicks a moment later, as a pointer's would.
    EXPECT_TRUE(eventually([&] { return sameValue(screen.stored(c.key), c.after); }, "stored"))
        << testing::PrintToString(screen.stored(c.key));
    EXPECT_EQ(screen.reloads(), sameValue(c.after, c.start) ? 0 : 1);
    EXPECT_TRUE(eventually([&] { return screen.shows(row, c.after); }, "the row draws it"));
    EXPECT_TRUE(c.how.key || screen.table()->contentOffset() == offset) << "the list moved";
}

// The preference file made impossible to replace: immutable where that can be set (as root),
// else its folder without write permission (which root would ignore).
struct Unwritable {
    QString path;
    QString folder = QFileInfo(path).path();
    bool immutable = QProcess::execute("chattr", {"+i", path}) == 0;
    bool locked = !immutable && geteuid() != 0 && ::chmod(qPrintable(folder), 0555) == 0;
    ~Unwritable() {
        if (immutable)
            QProcess::execute("chattr", {"-i", path});
        if (locked)
            ::chmod(qPrintable(folder), 0755);
    }
};

// The row goes back to what the file holds, the window says the setting was not saved and
// why, and nothing else happens: no notification, the file as it was.
TEST_P(PersonRow, AFailedSaveShowsTheFileAgainAndSaysWhy) {
    const RowCase& c = GetParam();
    SettingsScreen screen(startingWith(c));
    const QString title = QString::fromUtf8(c.title);
    PSTableCell* row = screen.row(title);
    ASSERT_NE(row, nullptr);
    if (sameValue(c.after, c.start))
        GTEST_SKIP() << "nothing to save";
    const QByteArray before = readAll(screen.preferencesPath());
    const Unwritable unwritable{screen.preferencesPath()};
    if (!unwritable.immutable && !unwritable.locked)
        GTEST_SKIP() << "the preference file cannot be made unwritable here";

    act(screen, row, c);

    EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "nothing left presented"));
    screen.wait(500); // every slide and fade has ended: what is drawn now stays
    EXPECT_TRUE(screen.shows(row, c.start)) << "the row shows the stored value again";
    const QString headline = QStringLiteral("未能保存“%1”。").arg(title);
    for (const QString& text : {headline, QStringLiteral("没有写入设置文件的权限。")}) {
        QLabel* label = screen.labelled<QLabel>(screen.window(), text);
        EXPECT_TRUE(label && screen.draws(label, text)) << text.toStdString();
    }
    EXPECT_EQ(readAll(screen.preferencesPath()), before);
    EXPECT_EQ(screen.reloads(), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PersonRow, testing::ValuesIn(kRows),
                         [](const auto& info) { return testName(info.param.name); });

// A key held on + steps as a held pointer does: the first step half a second in, then one every
// tenth of a second (never sooner), whatever the keyboard's own repeat rate; letting go stops it.
class PersonHold : public testing::TestWithParam<int> {};

TEST_P(PersonHold, AHeldKeyStepsAtTheHoldPaceUntilLetGo) {
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("跳转秒数"));
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(screen.tabTo(screen.labelled<QAbstractButton>(row, QStringLiteral("+"))));
    const auto steps = [&] { return screen.stored("skipSeconds").toDouble() - 15; };
    QElapsedTimer held;
    held.start();
    screen.holdKey(GetParam(), 1500);
    const qint64 heldMs = held.elapsed();
    const double total = steps();
    EXPECT_GE(total, 3) << "the hold did not repeat";
    EXPECT_LE(total, double(heldMs - 500) / 100 + 1) << "in " << heldMs << " ms";
    EXPECT_EQ(screen.reloads(), int(total)) << "one notification per step";
    screen.wait(350);
    EXPECT_EQ(steps(), total) << "the steps went on after the release";
    EXPECT_TRUE(screen.shows(row, 15 + total));
}

INSTANTIATE_TEST_SUITE_P(Keys, PersonHold, testing::Values(int(Qt::Key_Space), int(Qt::Key_Enter)));

// ---- another program's change --------------------------------------------------------------

enum class Write { InPlace, ByRename, Created };

struct OutsideChange {
    const char* name;
    const char* title;
    const char* key;
    QVariant before;
    QVariant after;
    Write write = Write::ByRename;
    const char* member = nullptr; // a row of the group the row's switch controls
    friend void PrintTo(const OutsideChange& c, std::ostream* os) { *os << c.name; }
};

class PersonOutsideChange : public testing::TestWithParam<OutsideChange> {};

// The row shows the new value once the file changes, the group its switch controls closes,
// and the pane neither writes nor announces anything of its own; while a writer in place has
// emptied the file, the row keeps its value rather than showing the default.
TEST_P(PersonOutsideChange, RowFollowsTheFile) {
    const OutsideChange& c = GetParam();
    SettingsScreen screen({.prepare = [&](InstalledRoot& root) {
        if (c.write != Write::Created)
            root.writeFile(kPreferences, libplistBinary(QVariantMap{{c.key, c.before}}));
    }});
    const QString path = screen.preferencesPath();
    PSTableCell* member = c.member ? screen.row(QString::fromUtf8(c.member)) : nullptr;
    PSTableCell* row = screen.row(QString::fromUtf8(c.title));
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(screen.shows(row, c.before));
    const auto collapsed = [&] {
        const auto at = screen.pane()->indexPathForSpecifier(member->specifier());
        return at && screen.table()->rectForRowAtIndexPath(*at).height() == 0;
    };
    ASSERT_FALSE(member && collapsed());
    screen.wait(150); // the file is older than the pane's reading of it: the common case

    const QByteArray theirs =
        libplistBinary(QVariantMap{{c.key, c.after}, {"other", QStringLiteral("kept")}});
    if (c.write == Write::InPlace) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        screen.wait(300);
        EXPECT_TRUE(screen.shows(row, c.before)) << "the emptied file was shown";
        ASSERT_TRUE(file.write(theirs) == theirs.size() && file.flush());
    } else { // as an atomic writer does: a new file renamed over the old one
        QSaveFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(theirs) == theirs.size());
        ASSERT_TRUE(file.commit());
    }

    EXPECT_TRUE(eventually([&] { return screen.shows(row, c.after); }, "the row shows it"));
    EXPECT_TRUE(!member || eventually(collapsed, "the group closed"));
    EXPECT_EQ(screen.row(QString::fromUtf8(c.title)), row); // the same cell, not a new one
    EXPECT_EQ(screen.reloads(), 0);
    EXPECT_EQ(readAll(path), theirs);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, PersonOutsideChange,
    testing::Values(
        OutsideChange{"switch_in_place", "迷你播放器", "miniPlayer", true, false, Write::InPlace},
        OutsideChange{"slider_in_place", "音量", "volume", 0.8, 0.25, Write::InPlace},
        OutsideChange{"colour_by_rename", "歌词颜色", "lyricsColor", "#5856D6", "#FF3B30"},
        OutsideChange{"group_by_rename", "显示歌词", "showLyrics", true, false, Write::ByRename,
                      "卡拉 OK 高亮"},
        OutsideChange{"text_created", "标题格式", "titleFormat", "{artist} – {title}", "{title}",
                      Write::Created}),
    [](const auto& info) { return testName(info.param.name); });

} // namespace
