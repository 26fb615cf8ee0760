// The pane worked from the keyboard alone: where the focus goes, what opens and closes by key,
// and how the focus is drawn.
#include "SettingsScreen.h"

#include <cstdio>

namespace {

// From the window's own focus, Tab walks every control once, in reading order, and comes round;
// Shift+Tab walks the same way back. The figures: how many controls the pane has, and how many
// of them Tab reaches, are named, and are operable through an accessible action (or take text).
TEST(PersonKeyboard, TabWalksEveryControlInReadingOrderAndEachIsNamedAndOperable) {
    SettingsScreen screen;
    screen.key(Qt::Key_Tab);
    const QList<QWidget*> controls = screen.controls();
    ASSERT_GT(controls.size(), 20);
    ASSERT_EQ(QApplication::focusWidget(), controls.first())
        << "the first Tab goes to the back button";
    QList<QWidget*> walked{QApplication::focusWidget()};
    for (qsizetype i = 1; i <= controls.size(); ++i, walked << QApplication::focusWidget())
        screen.key(Qt::Key_Tab);
    EXPECT_EQ(walked.mid(0, controls.size()), controls);
    EXPECT_EQ(walked.last(), controls.first()) << "Tab comes round";
    QList<QWidget*> back;
    for (qsizetype i = 0; i < controls.size(); ++i, back.prepend(QApplication::focusWidget()))
        screen.key(Qt::Key_Backtab);
    EXPECT_EQ(back, controls);

    int named = 0;
    int operable = 0;
    for (QWidget* control : controls) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(face, nullptr);
        named += !face->text(QAccessible::Name).isEmpty();
        QStringList actions =
            face->actionInterface() ? face->actionInterface()->actionNames() : QStringList();
        actions.removeAll(QAccessibleActionInterface::setFocusAction());
        operable += !actions.isEmpty() || face->editableTextInterface();
    }
    const int reachable = int(QSet<QWidget*>(walked.cbegin(), walked.cend()).size());
    std::printf("controls %d, reachable by Tab %d, named %d, operable through an action %d\n",
                int(controls.size()), reachable, named, operable);
    EXPECT_EQ(named, controls.size());
    EXPECT_EQ(operable, controls.size());
}

// ---- what opens over the pane, and how it closes --------------------------------------------

struct LayerCase {
    const char* name;
    const char* opener; // "info", "restart", "readout" or "colour"
    int opening;        // on the opener reached by Tab; 0: a tap; -1: its accessible Press
    int closing;
    int reloads = 0;
    friend void PrintTo(const LayerCase& c, std::ostream* os) { *os << c.name; }
};

QWidget* openerOf(SettingsScreen& s, const QByteArray& which) {
    if (which == "restart")
        return s.widgetOfClass(s.window(), "RoundTemplateButton");
    if (which == "colour")
        return s.row(QStringLiteral("歌词颜色"));
    PSTableCell* row =
        s.row(which == "info" ? QStringLiteral("启用播放器") : QStringLiteral("播放速度"));
    return row ? s.widgetOfClass(row, which == "info" ? "UIInfoButton" : "QEVValueLabel") : nullptr;
}

class PersonLayer : public testing::TestWithParam<LayerCase> {};

// While it is up the layer keeps the keyboard (the restart question starts on 否); its closing
// key closes it, the focus goes back to what opened it, and only the restart's 是 announces
// anything.
TEST_P(PersonLayer, OpensAndClosesByKeyAndHoldsTheKeyboardMeanwhile) {
    const LayerCase& c = GetParam();
    const QByteArray which(c.opener);
    SettingsScreen screen;
    QWidget* opener = openerOf(screen, which);
    ASSERT_NE(opener, nullptr);
    const QByteArray before = readAll(screen.preferencesPath());
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(opener);
    if (c.opening > 0) {
        ASSERT_TRUE(screen.tabTo(opener));
        screen.key(c.opening);
    } else if (c.opening < 0) {
        ASSERT_TRUE(reader->actionInterface() &&
                    reader->actionInterface()->actionNames().contains("Press"));
        reader->actionInterface()->doAction("Press");
    } else {
        screen.tap(opener);
    }
    ASSERT_TRUE(eventually([&] { return screen.presented() != nullptr; }, "it opened"));
    QWidget* layer = screen.presented();
    ASSERT_TRUE(screen.settle());
    const auto answer = [] {
        auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        return button ? button->text() : QString();
    };
    for (int i = 0; i < 8; ++i) {
        screen.key(i % 2 ? Qt::Key_Tab : Qt::Key_Backtab);
        EXPECT_TRUE(QApplication::focusWidget() && layer->isAncestorOf(QApplication::focusWidget()))
            << "the focus left the layer";
    }
    if (which == "restart") {
        EXPECT_EQ(answer(), QStringLiteral("否"));
    }
    if (c.reloads) {
        screen.key(Qt::Key_Tab);
        EXPECT_EQ(answer(), QStringLiteral("是"));
    }
    EXPECT_EQ(readAll(screen.preferencesPath()), before);
    screen.key(c.closing);
    EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "it closed"));
    EXPECT_EQ(screen.reloads(), c.reloads);
    EXPECT_TRUE(c.opening <= 0 || QApplication::focusWidget() == opener)
        << "the focus did not come back";
    EXPECT_EQ(readAll(screen.preferencesPath()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Layers, PersonLayer,
    testing::Values(LayerCase{"alert_tap_escape", "info", 0, Qt::Key_Escape},
                    LayerCase{"alert_space_return", "info", Qt::Key_Space, Qt::Key_Return},
                    LayerCase{"alert_reader_escape", "info", -1, Qt::Key_Escape},
                    LayerCase{"restart_escape", "restart", Qt::Key_Return, Qt::Key_Escape},
                    LayerCase{"restart_enter_on_no", "restart", Qt::Key_Return, Qt::Key_Enter},
                    LayerCase{"restart_space_on_yes", "restart", Qt::Key_Return, Qt::Key_Space, 1},
                    LayerCase{"restart_reader_escape", "restart", -1, Qt::Key_Escape},
                    LayerCase{"entry_escape", "readout", Qt::Key_Space, Qt::Key_Escape},
                    LayerCase{"entry_reader_escape", "readout", -1, Qt::Key_Escape},
                    LayerCase{"picker_escape", "colour", Qt::Key_Enter, Qt::Key_Escape},
                    LayerCase{"picker_reader_escape", "colour", -1, Qt::Key_Escape}),
    [](const auto& info) { return testName(info.param.name); });

// A control reached by the keyboard is ringed in the pane tint, with a white inner edge, just
// outside it; a pointer press puts the ring away.
TEST(PersonKeyboard, TheFocusIsRingedOnlyWhileTheKeyboardIsUsed) {
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("迷你播放器"));
    ASSERT_NE(row, nullptr);
    UISwitch* control = screen.first<UISwitch>(row);
    const QPoint band(-3, control->height() / 2); // the ring's band, left of the track
    const QPoint edge(-1, control->height() / 2); // its inner edge
    ASSERT_TRUE(near(screen.pixel(control, band), Qt::white, 2));

    ASSERT_TRUE(screen.tabTo(control));
    EXPECT_TRUE(near(screen.pixel(control, band), QColor(121, 145, 153), 12)) << "no tinted band";
    EXPECT_TRUE(near(screen.pixel(control, edge), Qt::white, 40)) << "no white inner edge";

    screen.tap(row, QPoint(20, row->height() / 2)); // the title: nothing happens but the press
    EXPECT_EQ(QApplication::focusWidget(), control);
    EXPECT_TRUE(near(screen.pixel(control, band), Qt::white, 2)) << "the ring stayed";
}

} // namespace
