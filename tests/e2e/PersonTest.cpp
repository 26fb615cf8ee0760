// The Settings window used as a person uses it: real presses, releases and keys at the
// controls' places, then what is drawn, what the file holds and how many reload notifications
// went out.
#include "SettingsScreen.h"

#include "common/MessageLog.h"
#include "common/TestName.h"

#include "preferences/PSTableCell.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>

namespace {

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

// ---- slider rows ------------------------------------------------------------------------------

QAbstractButton* stepButton(SettingsScreen& screen, PSTableCell* row, const char* sign) {
    return screen.labelled<QAbstractButton>(row, QString::fromLatin1(sign));
}

// A tap on - steps once on release; a hold on + keeps stepping wherever the pointer drifts,
// until it is let go.
TEST(PersonSlider, TapStepsOnceAndAHoldRepeatsUntilReleasedEvenOffTheButton) {
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("播放速度"));
    ASSERT_NE(row, nullptr);
    QWidget* readout = screen.widgetOfClass(row, "QEVValueLabel");
    ASSERT_NE(readout, nullptr);

    screen.tap(stepButton(screen, row, "-"));
    EXPECT_NEAR(screen.stored("playbackSpeed").toDouble(), 0.9, 1e-6);
    EXPECT_TRUE(screen.draws(readout, "0.90"));
    EXPECT_EQ(screen.reloads(), 1);

    QAbstractButton* plus = stepButton(screen, row, "+");
    screen.press(plus);
    screen.wait(800); // the hold is recognised after half a second, then steps every 0.1 s
    const double held = screen.stored("playbackSpeed").toDouble();
    EXPECT_GT(held, 0.9);
    screen.moveTo(plus, QPoint(plus->width() / 2, -80)); // well off the button and its row
    screen.wait(500);
    const double drifted = screen.stored("playbackSpeed").toDouble();
    EXPECT_GE(drifted, held + 0.25) << "the hold stopped when the pointer left the button";
    screen.release(plus, QPoint(plus->width() / 2, -80));
    const double released = screen.stored("playbackSpeed").toDouble();
    screen.wait(400);
    EXPECT_EQ(screen.stored("playbackSpeed").toDouble(), released);
    EXPECT_TRUE(screen.draws(readout, QString::number(released, 'f', 2)));
}

struct EntryCase {
    const char* name;
    const char* locale;
    const char* title;
    const char* key;
    const char* typed;
    double stored;
    const char* readout;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.name;
}

class PersonEntry : public testing::TestWithParam<EntryCase> {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

// Tapping the read-out opens the number box; what is typed shows as typed, Return sets it, and
// the list stays where it was.
TEST_P(PersonEntry, TypedValueShowsAsTypedAndStoresWhatItReads) {
    const EntryCase& c = GetParam();
    QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
    SettingsScreen screen;
    PSTableCell* row = screen.row(QString::fromUtf8(c.title));
    ASSERT_NE(row, nullptr);
    QWidget* readout = screen.widgetOfClass(row, "QEVValueLabel");
    ASSERT_NE(readout, nullptr);
    const QPointF offset = screen.table()->contentOffset();

    screen.tap(readout);
    ASSERT_NE(screen.presented(), nullptr);
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(field, nullptr) << "the number box has the keyboard";
    screen.type(QString::fromLatin1(c.typed));
    EXPECT_EQ(field->text(), QString::fromLatin1(c.typed)) << "nothing typed is dropped";
    screen.key(Qt::Key_Return);

    EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "the number box closed"));
    EXPECT_NEAR(screen.stored(c.key).toDouble(), c.stored, 1e-6);
    EXPECT_TRUE(screen.draws(readout, QString::fromLatin1(c.readout)));
    EXPECT_EQ(screen.reloads(), 1);
    EXPECT_EQ(screen.table()->contentOffset(), offset) << "the list scrolled";
    EXPECT_FALSE(qobject_cast<UISwitch*>(QApplication::focusWidget()))
        << "the focus went to a switch";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonEntry,
    testing::Values(
        EntryCase{"negative", "zh_CN", "歌词偏移", "lyricsOffset", "-5", -5, "-5.00"},
        EntryCase{"negative_clamped", "zh_CN", "睡眠定时", "sleepMinutes", "-5", 0, "0.00"},
        EntryCase{"point_in_comma_locale", "de_DE", "跳转秒数", "skipSeconds", "12.5", 12.5,
                  "12.50"},
        EntryCase{"comma_in_comma_locale", "de_DE", "跳转秒数", "skipSeconds", "12,5", 12.5,
                  "12.50"},
        EntryCase{"comma_in_point_locale", "zh_CN", "睡眠定时", "sleepMinutes", "7,5", 7.5, "7.50"},
        EntryCase{"exponent", "zh_CN", "睡眠定时", "sleepMinutes", "1e1", 10, "10.00"},
        EntryCase{"unreadable", "zh_CN", "跳转秒数", "skipSeconds", "abc", 5, "5.00"}),
    [](const auto& info) { return testName(info.param.name); });

// ---- alerts hold the keyboard -------------------------------------------------------------

// An info alert opens by a tap or from the keyboard; while it is up, Tab stays inside it and
// Space changes nothing behind it; Escape and Return close it.
TEST(PersonAlert, AnOpenAlertKeepsTheKeyboardAndClosesByKey) {
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("启用播放器"));
    ASSERT_NE(row, nullptr);
    QWidget* info = screen.widgetOfClass(row, "UIInfoButton");
    ASSERT_NE(info, nullptr);
    const std::optional<QVariantMap> before = screen.file();

    const struct {
        bool byKeyboard; // Tab to the button and Space, else a tap
        int closingKey;
    } ways[] = {{false, Qt::Key_Escape}, {true, Qt::Key_Return}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.closingKey);
        if (way.byKeyboard) {
            ASSERT_TRUE(tabTo(screen, info));
            screen.key(Qt::Key_Space);
        } else {
            screen.tap(info);
        }
        QWidget* layer = screen.presented();
        ASSERT_NE(layer, nullptr);
        for (int i = 0; i < 12; ++i) {
            screen.key(i % 2 ? Qt::Key_Tab : Qt::Key_Backtab);
            screen.key(Qt::Key_Space);
            QWidget* focus = QApplication::focusWidget();
            EXPECT_TRUE(focus && (focus == layer || layer->isAncestorOf(focus)))
                << "the focus left the alert";
        }
        EXPECT_EQ(screen.file(), before);
        screen.key(way.closingKey);
        EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "the alert closed"));
    }
    EXPECT_EQ(screen.reloads(), 0);
}

// ---- the pane's chrome ----------------------------------------------------------------------

// Pulled down deeply, the banner stretches and is drawn whole, its lower edge included.
TEST(PersonChrome, APulledListDrawsTheStretchedBannerWhole) {
    SettingsScreen screen;
    QWidget* list = screen.table()->viewport();
    QWidget* banner = screen.widgetOfClass(list, "AspectFitImageView");
    ASSERT_NE(banner, nullptr);
    const QSize picture =
        QImage(screen.root().hostPath(InstalledRoot::kBundle + "/banner.png")).size();
    ASSERT_FALSE(picture.isEmpty());

    screen.press(list, QPoint(195, 300));
    for (int y = 320; y <= 800; y += 20)
        screen.moveTo(list, QPoint(195, y));
    ASSERT_LT(screen.table()->contentOffset().y(), -100);
    QRect drawn(QPoint(), picture.scaled(banner->size(), Qt::KeepAspectRatio));
    drawn.moveCenter(banner->rect().center());
    // The picture's dark band runs to about 85 % of its height (a clear margin follows).
    for (const double down : {0.6, 0.8, 0.85}) {
        SCOPED_TRACE(down);
        const QPoint at(drawn.center().x(), drawn.top() + int(down * drawn.height()));
        EXPECT_LT(qGray(screen.pixel(banner, at).rgb()), 160) << "the banner is cut off there";
    }
    screen.release(list, QPoint(195, 800));
    EXPECT_TRUE(eventually([&] { return screen.table()->contentOffset().y() == 0; },
                           "the list sprang back"));
}

// ---- the host -------------------------------------------------------------------------------

// The window fits the screen's free area whatever the requested size.
TEST(PersonHost, TheWindowFitsTheScreen) {
    SettingsScreen screen({.arguments = {"--size", "390x2000"}});
    const QRect free = screen.window()->screen()->availableGeometry();
    const QSize frame = screen.window()->frameGeometry().size();
    EXPECT_LE(frame.height(), free.height());
    EXPECT_LE(frame.width(), free.width());
}

// A root that is not there is said on stderr and in the window; a pane whose row list is
// missing or holds no rows is said on stderr.
TEST(PersonHost, WhatIsMissingIsSaid) {
    {
        MessageLog log;
        SettingsScreen screen({.arguments = {"--root", "/nonexistent-root"}, .openPane = false});
        EXPECT_EQ(log.mentioning({"/nonexistent-root", "不存在"}).size(), 1) << "on stderr";
        EXPECT_NE(screen.labelled<QLabel>(screen.window(), "设备根目录 /nonexistent-root 不存在。"),
                  nullptr)
            << "in the window";
    }
    const struct {
        const char* name;
        QByteArray list; // empty: no row list at all
        QStringList said;
    } lists[] = {
        {"missing", {}, {"Root.plist", "tolvplayerprefs.bundle"}},
        {"no items",
         PropertyList::toXml(QVariantMap{{"items", QVariantList{}}}),
         {"Root.plist", "no rows"}},
        {"not a list", "garbage", {"Root.plist", "no rows"}},
    };
    for (const auto& c : lists) {
        SCOPED_TRACE(c.name);
        MessageLog log;
        SettingsScreen screen({.prepare = [&](InstalledRoot& root) {
            const QString path = InstalledRoot::kBundle + "/Root.plist";
            QFile::remove(root.hostPath(path));
            if (!c.list.isEmpty())
                root.writeFile(path, c.list);
        }});
        ASSERT_NE(screen.pane(), nullptr);
        EXPECT_EQ(log.mentioning(c.said).size(), 1) << log.warnings().join('\n').toStdString();
    }
}

} // namespace
