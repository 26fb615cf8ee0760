// The pane as an assistive technology meets it in the process: the Settings window's
// accessibility tree walked through Qt's interfaces (what Qt's AT-SPI bridge hands a screen
// reader), each control's name, role, state and value read, and its actions done; then what the
// file holds and how many reload notifications went out. (The events a screen reader hears are
// checked over AT-SPI itself, tests/atspi: in the process, Qt sends none without a bridge.)
#include "SettingsScreen.h"

#include "common/TestName.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <cmath>
#include <cstdio>

namespace {

QAccessibleInterface* findAccessible(QAccessibleInterface* node, const QString& name,
                                     QAccessible::Role role) {
    if (!node)
        return nullptr;
    if (node->role() == role && node->text(QAccessible::Name) == name)
        return node;
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface* found = findAccessible(node->child(i), name, role))
            return found;
    return nullptr;
}

// A screen reader arrives: every row of the pane is built for it.
struct ReaderScreen : SettingsScreen {
    ReaderScreen() {
        QAccessible::setActive(true);
        QCoreApplication::processEvents();
    }
    ~ReaderScreen() { QAccessible::setActive(false); }
    QAccessibleInterface* find(const char* name, QAccessible::Role role) {
        return findAccessible(QAccessible::queryAccessibleInterface(window()),
                              QString::fromUtf8(name), role);
    }
};

struct ActionCase {
    const char* name;
    const char* control; // its accessible name
    QAccessible::Role role;
    const char* value; // text(Value) before, or nullptr
    QString action;    // or empty: set `set` through the value interface
    QVariant set;
    const char* key;
    QVariant stored; // after; invalid: nothing stored
    bool presents;   // something is presented over the window afterwards
};

void PrintTo(const ActionCase& c, std::ostream* os) {
    *os << c.name;
}

class PersonAccessible : public testing::TestWithParam<ActionCase> {};

// Each control found by its name and role in the tree does what a pointer does through its
// action: one change of the file and one reload notification; a value that is no number, none.
TEST_P(PersonAccessible, ActionDoesWhatAPointerDoes) {
    const ActionCase& c = GetParam();
    ReaderScreen screen;
    QAccessibleInterface* control = screen.find(c.control, c.role);
    ASSERT_NE(control, nullptr) << "no " << c.control << " in the tree";
    if (c.value) {
        EXPECT_EQ(control->text(QAccessible::Value), QString::fromUtf8(c.value));
    }
    const QVariantMap before = screen.file().value_or(QVariantMap());

    if (!c.action.isEmpty()) {
        QAccessibleActionInterface* actions = control->actionInterface();
        ASSERT_NE(actions, nullptr);
        ASSERT_TRUE(actions->actionNames().contains(c.action))
            << actions->actionNames().join(',').toStdString();
        actions->doAction(c.action);
    } else {
        ASSERT_NE(control->valueInterface(), nullptr);
        control->valueInterface()->setCurrentValue(c.set);
    }

    QVariantMap after = before;
    if (c.stored.isValid()) {
        // A button's press clicks it a moment later, as a pointer's would.
        EXPECT_TRUE(eventually(
            [&] {
                return screen.stored(c.key).isValid() &&
                       screen.stored(c.key) != before.value(c.key);
            },
            "the file changed"));
        EXPECT_NEAR(screen.stored(c.key).toDouble(), c.stored.toDouble(), 1e-6);
        after.insert(QString::fromLatin1(c.key), screen.stored(c.key));
    }
    if (c.presents) {
        EXPECT_TRUE(eventually([&] { return screen.presented() != nullptr; }, "it opened"));
    }
    EXPECT_EQ(screen.file().value_or(QVariantMap()), after) << "nothing else changed";
    EXPECT_EQ(screen.reloads(), c.stored.isValid() ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, PersonAccessible,
                         testing::Values(ActionCase{"switch_toggle",
                                                    "记住播放位置",
                                                    QAccessible::CheckBox,
                                                    nullptr,
                                                    "Toggle",
                                                    {},
                                                    "rememberPosition",
                                                    true,
                                                    false},
                                         ActionCase{"slider_increase",
                                                    "播放速度",
                                                    QAccessible::Slider,
                                                    "1.00",
                                                    "Increase",
                                                    {},
                                                    "playbackSpeed",
                                                    1.1,
                                                    false},
                                         ActionCase{"slider_decrease",
                                                    "音量",
                                                    QAccessible::Slider,
                                                    "0.80",
                                                    "Decrease",
                                                    {},
                                                    "volume",
                                                    0.79,
                                                    false},
                                         ActionCase{"slider_set",
                                                    "跳转秒数",
                                                    QAccessible::Slider,
                                                    "15.00",
                                                    {},
                                                    42.5,
                                                    "skipSeconds",
                                                    42.5,
                                                    false},
                                         ActionCase{"slider_set_above",
                                                    "跳转秒数",
                                                    QAccessible::Slider,
                                                    nullptr,
                                                    {},
                                                    1e9,
                                                    "skipSeconds",
                                                    60,
                                                    false},
                                         ActionCase{"slider_set_nan",
                                                    "跳转秒数",
                                                    QAccessible::Slider,
                                                    nullptr,
                                                    {},
                                                    std::nan(""),
                                                    "skipSeconds",
                                                    {},
                                                    false},
                                         ActionCase{"slider_set_text",
                                                    "跳转秒数",
                                                    QAccessible::Slider,
                                                    nullptr,
                                                    {},
                                                    "abc",
                                                    "skipSeconds",
                                                    {},
                                                    false},
                                         ActionCase{"plus_press",
                                                    "播放速度，增大",
                                                    QAccessible::Button,
                                                    nullptr,
                                                    "Press",
                                                    {},
                                                    "playbackSpeed",
                                                    1.1,
                                                    false},
                                         ActionCase{"minus_press",
                                                    "音量，减小",
                                                    QAccessible::Button,
                                                    nullptr,
                                                    "Press",
                                                    {},
                                                    "volume",
                                                    0.79,
                                                    false},
                                         ActionCase{"readout_press",
                                                    "播放速度，输入数值",
                                                    QAccessible::Button,
                                                    "1.00",
                                                    "Press",
                                                    {},
                                                    "playbackSpeed",
                                                    {},
                                                    true},
                                         ActionCase{"colour_press",
                                                    "歌词颜色",
                                                    QAccessible::Button,
                                                    "#5856D6",
                                                    "Press",
                                                    {},
                                                    "lyricsColor",
                                                    {},
                                                    true},
                                         ActionCase{"info_press",
                                                    "启用播放器，更多信息",
                                                    QAccessible::Button,
                                                    nullptr,
                                                    "Press",
                                                    {},
                                                    "enabled",
                                                    {},
                                                    true},
                                         ActionCase{"restart_press",
                                                    "注销",
                                                    QAccessible::Button,
                                                    nullptr,
                                                    "Press",
                                                    {},
                                                    "enabled",
                                                    {},
                                                    true}),
                         [](const auto& info) { return testName(info.param.name); });

// The slider tells its bounds and its value as numbers, and its value in words as the
// read-out shows it.
TEST(PersonAccessibleSlider, GivesItsBoundsValueAndReadout) {
    ReaderScreen screen;
    QAccessibleInterface* slider = screen.find("歌词偏移", QAccessible::Slider);
    ASSERT_NE(slider, nullptr);
    QAccessibleValueInterface* value = slider->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toDouble(), -5);
    EXPECT_EQ(value->maximumValue().toDouble(), 5);
    EXPECT_EQ(value->currentValue().toDouble(), 0);
    EXPECT_NEAR(value->minimumStepSize().toDouble(), 0.1, 1e-6);
    value->setCurrentValue(-2.5);
    EXPECT_EQ(slider->text(QAccessible::Value), QStringLiteral("-2.50"));
}

struct LanguageCase {
    const char* language;
    const char* info;
    const char* restart;
    const char* plus;
};

// The controls that show no words are named in each language the pane ships.
TEST(PersonAccessibleNames, ControlsWithoutWordsAreNamedInEveryShippedLanguage) {
    const LanguageCase languages[] = {
        {"en", "Enable Player, more information", "Restart home screen", "Volume, increase"},
        {"zh_CN", "启用播放器，更多信息", "注销", "音量，增大"},
    };
    const QByteArray previous = qgetenv("LANGUAGE");
    for (const LanguageCase& c : languages) {
        SCOPED_TRACE(c.language);
        qputenv("LANGUAGE", c.language);
        ReaderScreen screen;
        EXPECT_NE(screen.find(c.info, QAccessible::Button), nullptr);
        EXPECT_NE(screen.find(c.restart, QAccessible::Button), nullptr);
        EXPECT_NE(screen.find(c.plus, QAccessible::Button), nullptr);
    }
    qputenv("LANGUAGE", previous);
}

// The figures: every control of the pane is reachable by Tab, named, and has an action (or,
// a text field, takes typed text).
TEST(PersonAccessibleFigures, EveryControlIsReachableNamedAndOperable) {
    SettingsScreen screen;
    screen.key(Qt::Key_Tab);
    const QList<QWidget*> controls = screen.controls();
    QSet<QWidget*> reachable;
    for (qsizetype i = 0;
         i < 2 * controls.size() && !reachable.contains(QApplication::focusWidget()); ++i) {
        reachable.insert(QApplication::focusWidget());
        screen.key(Qt::Key_Tab);
    }
    int named = 0;
    int operable = 0;
    for (QWidget* control : controls) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        if (!face)
            continue;
        named += !face->text(QAccessible::Name).isEmpty();
        QStringList actions =
            face->actionInterface() ? face->actionInterface()->actionNames() : QStringList();
        actions.removeAll(QAccessibleActionInterface::setFocusAction());
        operable += !actions.isEmpty() || face->editableTextInterface();
    }
    std::printf("controls %d, reachable by Tab %d, named %d, operable through an action %d\n",
                int(controls.size()), int(reachable.size()), named, operable);
    EXPECT_EQ(reachable.size(), controls.size());
    for (QWidget* control : controls)
        EXPECT_TRUE(reachable.contains(control)) << control->metaObject()->className();
    EXPECT_EQ(named, controls.size());
    EXPECT_EQ(operable, controls.size());
}

} // namespace
