// A setting that cannot be saved, and a preference file that another program changes, as a
// person meets them in the Settings window: every row shows what the file holds, a failed save
// says so and why in a short message, and nothing is written or announced that the person did
// not do.
#include "SettingsScreen.h"

#include "common/TestName.h"

#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSTableCell.h"
#include "preferences/UISlider.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include <plist/plist.h>

#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPreferences =
    QStringLiteral("/var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist");
const char* const kSharedRootVariable = "QEV_E2E_OTHER_WINDOW_ROOT";

// ---- another program's side --------------------------------------------------------------

// The file as another program writes it: a binary property list, made with libplist.
QByteArray binaryPlist(const QVariantMap& entries) {
    plist_t dict = plist_new_dict();
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const QVariant& v = it.value();
        plist_t node = v.typeId() == QMetaType::Bool ? plist_new_bool(v.toBool())
                       : v.typeId() == QMetaType::Double
                           ? plist_new_real(v.toDouble())
                           : plist_new_string(v.toString().toUtf8().constData());
        plist_dict_set_item(dict, it.key().toUtf8().constData(), node);
    }
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(dict, &bytes, &length);
    QByteArray result(bytes, int(length));
    std::free(bytes);
    plist_free(dict);
    return result;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Into the very file the pane watches (same inode), as an editor or a careless writer does,
// and slowly: the file stays empty for a while before its bytes come.
bool writeInPlace(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTest::qWait(100);
    return file.write(bytes) == bytes.size() && file.flush();
}

// A new file renamed over the old one (or where there was none), as an atomic writer does.
bool writeByRename(const QString& path, const QByteArray& bytes) {
    const QString temporary = path + QStringLiteral(".other");
    QFile file(temporary);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
           ::rename(qPrintable(temporary), qPrintable(path)) == 0;
}

// A reader that keeps a replaced file open, so that file lives on beside its successor.
std::unique_ptr<QFile> heldOpen;

// The same content renamed into place first, while a reader holds the old file open, then the
// change written into the new file.
bool renameThenWriteInPlace(const QString& path, const QByteArray& bytes) {
    heldOpen = std::make_unique<QFile>(path);
    if (!heldOpen->open(QIODevice::ReadOnly) || !writeByRename(path, fileBytes(path)))
        return false;
    QTest::qWait(200);
    return writeInPlace(path, bytes);
}

// The reload notification as the add-on posts it: from a connection of its own.
void postReloadFromAnotherConnection() {
    const QString name = QStringLiteral("other-program");
    {
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/platform/notify"),
                                                         QStringLiteral("platform.notify.Center"),
                                                         QStringLiteral("Post"));
        signal << QStringLiteral("com.qev.tolvplayerprefs/ReloadPrefs");
        EXPECT_TRUE(other.send(signal));
        // A call answered on the same connection: the signal before it has gone out.
        other.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
    }
    QDBusConnection::disconnectFromBus(name);
}

// The preference file made impossible to replace until this goes: immutable where that can be
// set (as root), else its folder without write permission (which root would ignore).
class Unwritable {
public:
    explicit Unwritable(const QString& path) : _path(path), _folder(QFileInfo(path).path()) {
        _immutable = setImmutable(true);
        if (!_immutable && geteuid() != 0)
            _locked = ::chmod(qPrintable(_folder), 0555) == 0;
    }
    ~Unwritable() {
        if (_immutable)
            setImmutable(false);
        if (_locked)
            ::chmod(qPrintable(_folder), 0755);
    }
    bool holds() const { return _immutable || _locked; }

private:
    bool setImmutable(bool on) {
        const int fd = ::open(qPrintable(_path), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return ok;
    }

    QString _path;
    QString _folder;
    bool _immutable = false;
    bool _locked = false;
};

// ---- what a row shows --------------------------------------------------------------------

// Whether `control` is drawn as `show` makes it look: the window's drawing of it now equals
// its drawing after `show`, which `undo` then takes back.
bool drawnAs(SettingsScreen& screen, QWidget* control, const std::function<void()>& show,
             const std::function<void()>& undo) {
    const QRect area(control->mapTo(screen.window(), QPoint(0, 0)), control->size());
    const QImage drawn = screen.window()->grab(area).toImage();
    show();
    const QImage expected = screen.window()->grab(area).toImage();
    undo();
    return drawn == expected;
}

bool showsSwitch(SettingsScreen& screen, PSTableCell* row, const QVariant& value) {
    UISwitch* control = screen.first<UISwitch>(row);
    return control && screen.switchDrawnOn(control) == value.toBool();
}

bool showsSlider(SettingsScreen& screen, PSTableCell* row, const QVariant& value) {
    auto* slider = screen.first<UISlider>(row);
    QWidget* readout = screen.widgetOfClass(row, "QEVValueLabel");
    if (!slider || !readout || !screen.draws(readout, QString::number(value.toDouble(), 'f', 2)))
        return false;
    const float own = slider->value();
    return drawnAs(
        screen, slider, [&] { slider->setValue(value.toFloat()); }, [&] { slider->setValue(own); });
}

bool showsText(SettingsScreen& screen, PSTableCell* row, const QVariant& value) {
    auto* field = screen.first<QLineEdit>(row);
    const QString own = field ? field->text() : QString();
    return field && drawnAs(
                        screen, field, [&] { field->setText(value.toString()); },
                        [&] { field->setText(own); });
}

bool showsColour(SettingsScreen& screen, PSTableCell* row, const QVariant& value) {
    QWidget* swatch = screen.widgetOfClass(row, "QEVColorIndicatorView");
    if (!swatch || !screen.draws(row->detailTextLabel(), value.toString()))
        return false;
    const QColor drawn = screen.pixel(swatch, swatch->rect().center());
    const QColor expected = QColor::fromString(value.toString());
    return std::abs(drawn.red() - expected.red()) <= 2 &&
           std::abs(drawn.green() - expected.green()) <= 2 &&
           std::abs(drawn.blue() - expected.blue()) <= 2;
}

// ---- a save that fails ---------------------------------------------------------------------

struct FailedSave {
    const char* name;
    const char* title;
    const char* key;
    QVariant stored;
    bool (*shows)(SettingsScreen&, PSTableCell*, const QVariant&);
    void (*act)(SettingsScreen&, PSTableCell*);
    bool waitsForTheMessageToGo = false;
};

void PrintTo(const FailedSave& c, std::ostream* os) {
    *os << c.name;
}

QPushButton* plusOf(SettingsScreen& screen, PSTableCell* row) {
    return screen.labelled<QPushButton>(row, QStringLiteral("+"));
}

void clickSwitch(SettingsScreen& screen, PSTableCell* row) {
    screen.tap(screen.first<UISwitch>(row));
}

void spaceOnSwitch(SettingsScreen& screen, PSTableCell* row) {
    UISwitch* control = screen.first<UISwitch>(row);
    ASSERT_TRUE(screen.tabTo(control));
    screen.key(Qt::Key_Space);
    screen.wait(300);
    // The message never takes the keyboard: the switch keeps it.
    EXPECT_EQ(QApplication::focusWidget(), control);
}

void tapPlus(SettingsScreen& screen, PSTableCell* row) {
    screen.tap(plusOf(screen, row));
}

void holdPlus(SettingsScreen& screen, PSTableCell* row) {
    screen.press(plusOf(screen, row));
    screen.wait(800);
    screen.release(plusOf(screen, row));
}

void dragSlider(SettingsScreen& screen, PSTableCell* row) {
    auto* slider = screen.first<UISlider>(row);
    const QPoint thumb = slider->thumbRect().center().toPoint();
    screen.press(slider, thumb);
    for (int dx = 10; dx <= 60; dx += 10)
        screen.moveTo(slider, thumb + QPoint(dx, 0));
    screen.release(slider, thumb + QPoint(60, 0));
}

void typeIntoSlider(SettingsScreen& screen, PSTableCell* row) {
    screen.tap(screen.widgetOfClass(row, "QEVValueLabel"));
    QWidget* alert = screen.presented();
    ASSERT_NE(alert, nullptr);
    screen.type(QStringLiteral("0.3"));
    screen.tap(screen.labelled<QAbstractButton>(alert, QStringLiteral("设置")));
}

void typeText(SettingsScreen& screen, PSTableCell* row) {
    screen.tap(screen.first<QLineEdit>(row));
    screen.key(Qt::Key_A, Qt::ControlModifier);
    screen.type(QStringLiteral("Nope"));
    screen.key(Qt::Key_Return);
}

void pickColour(SettingsScreen& screen, PSTableCell* row) {
    screen.tap(row);
    ASSERT_TRUE(eventually([&] { return screen.presented() != nullptr; }, "the picker opened"));
    QLineEdit* hex = nullptr;
    for (QLineEdit* field : screen.presented()->findChildren<QLineEdit*>())
        if (field->isVisible() && field->text().startsWith(u'#'))
            hex = field;
    ASSERT_NE(hex, nullptr);
    // The picker scrolls on a short screen; bringing the field into view is not what is tested.
    for (QWidget* w = hex->parentWidget(); w; w = w->parentWidget())
        if (auto* scroller = qobject_cast<QScrollArea*>(w))
            scroller->ensureWidgetVisible(hex);
    screen.tap(hex);
    screen.key(Qt::Key_A, Qt::ControlModifier);
    screen.type(QStringLiteral("#ff3b30"));
    screen.tap(screen.labelled<QToolButton>(screen.presented(), QStringLiteral("✕")));
}

class PersonFailedSave : public testing::TestWithParam<FailedSave> {};

// The row goes back to what the file holds, the window says the setting was not saved and
// why, and nothing else happens: no alert, no notification, the file as it was.
TEST_P(PersonFailedSave, RowShowsTheFileAndAMessageSaysWhy) {
    const FailedSave& c = GetParam();
    const QVariantMap stored{{c.key, c.stored}};
    SettingsScreen screen({.prepare = [&](InstalledRoot& root) {
        root.writeFile(kPreferences, binaryPlist(stored));
    }});
    const QString title = QString::fromUtf8(c.title);
    PSTableCell* row = screen.row(title);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(c.shows(screen, row, c.stored));
    const QByteArray before = fileBytes(screen.preferencesPath());
    Unwritable unwritable(screen.preferencesPath());
    if (!unwritable.holds())
        GTEST_SKIP() << "the preference file cannot be made unwritable here";

    c.act(screen, row);

    EXPECT_TRUE(eventually([&] { return screen.presented() == nullptr; }, "nothing presented"));
    screen.wait(500); // every slide and fade has ended: what is drawn now stays
    EXPECT_TRUE(c.shows(screen, row, c.stored)) << "the row shows the stored value again";
    const QString headline = QStringLiteral("未能保存“%1”。").arg(title);
    const QString reason = QStringLiteral("没有写入设置文件的权限。");
    for (const QString& text : {headline, reason}) {
        QLabel* label = screen.labelled<QLabel>(screen.window(), text);
        EXPECT_TRUE(label && screen.draws(label, text)) << text.toStdString();
    }
    EXPECT_EQ(fileBytes(screen.preferencesPath()), before);
    EXPECT_EQ(screen.reloads(), 0);
    if (c.waitsForTheMessageToGo) {
        EXPECT_TRUE(eventually([&] { return !screen.labelled<QLabel>(screen.window(), headline); },
                               "the message went by itself", 8000));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonFailedSave,
    testing::Values(FailedSave{"switch_click", "迷你播放器", "miniPlayer", true, showsSwitch,
                               clickSwitch, true},
                    FailedSave{"switch_space", "记住播放位置", "rememberPosition", false,
                               showsSwitch, spaceOnSwitch},
                    FailedSave{"slider_step", "音量", "volume", 0.6, showsSlider, tapPlus},
                    FailedSave{"slider_hold", "音量", "volume", 0.6, showsSlider, holdPlus},
                    FailedSave{"slider_drag", "音量", "volume", 0.6, showsSlider, dragSlider},
                    FailedSave{"slider_typed", "音量", "volume", 0.6, showsSlider, typeIntoSlider},
                    FailedSave{"colour", "歌词颜色", "lyricsColor", "#5856D6", showsColour,
                               pickColour},
                    FailedSave{"text", "标题格式", "titleFormat", "Artist", showsText, typeText}),
    [](const auto& info) { return testName(info.param.name); });

// ---- another program's change --------------------------------------------------------------

struct OutsideChange {
    const char* name;
    const char* title;
    const char* key;
    QVariant before;
    QVariant after;
    bool (*shows)(SettingsScreen&, PSTableCell*, const QVariant&);
    const char* member = nullptr; // a row of the group the row controls
};

struct ChangeWay {
    const char* name;
    bool (*write)(const QString&, const QByteArray&);
    bool notified;
    bool fileAtStart = true; // else the pane opens with no file and shows the defaults
};

void PrintTo(const OutsideChange& c, std::ostream* os) {
    *os << c.name;
}

void PrintTo(const ChangeWay& way, std::ostream* os) {
    *os << way.name;
}

using OutsideCase = std::tuple<OutsideChange, ChangeWay>;

class PersonOutsideChange : public testing::TestWithParam<OutsideCase> {};

// The row shows the new value as soon as the file changes, the group its switch controls
// opens or closes, and the pane neither writes nor announces anything of its own.
TEST_P(PersonOutsideChange, RowFollowsTheFile) {
    const auto& [c, way] = GetParam();
    SettingsScreen screen({.prepare = [&](InstalledRoot& root) {
        if (way.fileAtStart)
            root.writeFile(kPreferences, binaryPlist({{c.key, c.before}}));
    }});
    UITableView* table = screen.table();
    PSTableCell* member = c.member ? screen.row(QString::fromUtf8(c.member)) : nullptr;
    PSTableCell* row = screen.row(QString::fromUtf8(c.title));
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(c.shows(screen, row, c.before));
    const auto collapsed = [&] {
        const auto path = screen.pane()->indexPathForSpecifier(member->specifier());
        return path && table->rectForRowAtIndexPath(*path).height() == 0;
    };
    if (member) {
        ASSERT_FALSE(collapsed());
    }

    const QByteArray theirs = binaryPlist({{c.key, c.after}, {"other", QStringLiteral("kept")}});
    ASSERT_TRUE(way.write(screen.preferencesPath(), theirs));
    if (way.notified)
        postReloadFromAnotherConnection();

    EXPECT_TRUE(eventually([&] { return c.shows(screen, row, c.after); }, "the row shows it"));
    if (member) {
        EXPECT_TRUE(eventually(collapsed, "the group closed"));
    }
    EXPECT_EQ(screen.row(QString::fromUtf8(c.title)), row); // the same cell, not a new one
    EXPECT_EQ(screen.reloads(), way.notified ? 1 : 0);
    EXPECT_EQ(fileBytes(screen.preferencesPath()), theirs);
    heldOpen.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonOutsideChange,
    testing::Combine(
        testing::Values(
            OutsideChange{"switch", "迷你播放器", "miniPlayer", true, false, showsSwitch},
            OutsideChange{"slider", "音量", "volume", 0.8, 0.25, showsSlider},
            OutsideChange{"colour", "歌词颜色", "lyricsColor", "#5856D6", "#FF3B30", showsColour},
            OutsideChange{"group", "显示歌词", "showLyrics", true, false, showsSwitch,
                          "卡拉 OK 高亮"},
            OutsideChange{"text", "标题格式", "titleFormat", "{artist} – {title}", "{title}",
                          showsText}),
        testing::Values(ChangeWay{"in_place", writeInPlace, false},
                        ChangeWay{"in_place_notified", writeInPlace, true},
                        ChangeWay{"by_rename", writeByRename, false},
                        ChangeWay{"by_rename_notified", writeByRename, true},
                        ChangeWay{"created", writeByRename, false, false},
                        ChangeWay{"renamed_then_in_place", renameThenWriteInPlace, false})),
    [](const auto& info) {
        return testName(std::string(std::get<0>(info.param).name) + "_" +
                        std::get<1>(info.param).name);
    });

// While another program rewrites the file in place, the file is empty for a moment: the rows
// keep their values rather than showing the defaults, then show what was written.
TEST(PersonHalfWrittenFile, RowsKeepTheirValuesUntilTheWriteEnds) {
    SettingsScreen screen({.prepare = [](InstalledRoot& root) {
        root.writeFile(kPreferences, binaryPlist({{"volume", 0.6}}));
    }});
    PSTableCell* volume = screen.row(QStringLiteral("音量"));
    ASSERT_NE(volume, nullptr);
    QFile file(screen.preferencesPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    screen.wait(300);
    EXPECT_TRUE(showsSlider(screen, volume, 0.6)); // not the default, 0.80
    const QByteArray theirs = binaryPlist({{"volume", 0.25}});
    ASSERT_EQ(file.write(theirs), theirs.size());
    ASSERT_TRUE(file.flush());
    EXPECT_TRUE(eventually([&] { return showsSlider(screen, volume, 0.25); }, "0.25 shown"));
}

// ---- two Settings windows on one root ------------------------------------------------------

// The other window, run as a process of its own by PersonTwoWindows: five taps of + on the
// volume and the mini player switched off.
TEST(PersonOtherWindowRole, FiveTapsOfPlusAndMiniPlayerOff) {
    const QString shared = qEnvironmentVariable(kSharedRootVariable);
    if (shared.isEmpty())
        GTEST_SKIP() << "the other window of PersonTwoWindows, started by it";
    SettingsScreen first({.arguments = {QStringLiteral("--root"), shared}});
    PSTableCell* volume = first.row(QStringLiteral("音量"));
    ASSERT_NE(volume, nullptr);
    for (int tap = 0; tap < 5; ++tap)
        first.tap(plusOf(first, volume));
    PSTableCell* mini = first.row(QStringLiteral("迷你播放器"));
    ASSERT_NE(mini, nullptr);
    first.tap(first.first<UISwitch>(mini));
    EXPECT_FLOAT_EQ(first.stored("volume").toFloat(), 0.65f);
    EXPECT_EQ(first.stored("miniPlayer"), false);
}

// The second window steps from what the first stored, even when its + comes before it has
// heard of the change, and it draws the first window's switch and group as they now are.
TEST(PersonTwoWindows, SecondWindowStepsFromTheFirstWindowsValue) {
    SettingsScreen second({.prepare = [](InstalledRoot& root) {
        root.writeFile(kPreferences, binaryPlist({{"volume", 0.6}}));
    }});
    PSTableCell* lockScreen = second.row(QStringLiteral("在锁定屏幕上显示"));
    PSTableCell* mini = second.row(QStringLiteral("迷你播放器"));
    PSTableCell* volume = second.row(QStringLiteral("音量"));
    ASSERT_TRUE(lockScreen && mini && volume);
    ASSERT_TRUE(showsSlider(second, volume, 0.6));
    ASSERT_TRUE(showsSwitch(second, mini, true));

    QProcess first;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kSharedRootVariable, second.root().path());
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=PersonOtherWindowRole.*")});
    // Waiting blocks: this window handles no notice of the first window's changes meanwhile.
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_EQ(first.exitCode(), 0) << first.readAll().toStdString();
    ASSERT_FLOAT_EQ(second.stored("volume").toFloat(), 0.65f);

    second.tap(plusOf(second, volume));
    EXPECT_FLOAT_EQ(second.stored("volume").toFloat(), 0.66f);
    EXPECT_EQ(second.stored("miniPlayer"), false);
    EXPECT_TRUE(eventually([&] { return showsSlider(second, volume, 0.66); }, "0.66 shown"));
    EXPECT_TRUE(eventually([&] { return showsSwitch(second, mini, false); }, "switch drawn off"));
    const auto path = second.pane()->indexPathForSpecifier(lockScreen->specifier());
    ASSERT_TRUE(path);
    EXPECT_TRUE(
        eventually([&] { return second.table()->rectForRowAtIndexPath(*path).height() == 0; },
                   "its group closed"));
    EXPECT_EQ(second.reloads(), 7); // the first window's six changes and this one
}

} // namespace
