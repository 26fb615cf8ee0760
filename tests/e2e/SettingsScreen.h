#pragma once

// Everything the tests of the window use, so that each test file names only what is its own.
#include "common/Eventually.h"
#include "common/Files.h"
#include "common/InstalledRoot.h"
#include "common/LibplistBinary.h"
#include "common/QtPrinters.h"
#include "common/TestName.h"

#include "SettingsApplication.h"
#include "preferences/PSListController.h"
#include "preferences/PSTableCell.h"
#include "preferences/UISlider.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"
#include "uikit/UITraitCollection.h"
#include "uikit/UIWindow.h"

#include <QAbstractButton>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

inline const QString kPreferences =
    QStringLiteral("/var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist");
class UITableView;

// The Settings program as a person meets it: installed into a fresh device root, started on
// the pane, its window shown and active. Everything a test does to it goes through the window
// as real input: presses at a control's place on screen, keys to whatever has the focus. What
// it checks is what is drawn (the window grabbed), what the preference file holds (read here
// with libplist, not through the pane's own store) and how many reload notifications went out.
class SettingsScreen {
public:
    struct Start {
        QStringList arguments;                       // after the root's and --open TOLVPlayer
        std::function<void(InstalledRoot&)> prepare; // runs on the root before the start
    };
    SettingsScreen();
    explicit SettingsScreen(Start start);
    ~SettingsScreen();

    InstalledRoot& root() { return _root; }
    QWidget* window() const { return _app->window(); }
    PSListController* pane() const { return _app->openedPane(); }
    UITableView* table() const { return pane() ? pane()->table() : nullptr; }

    // ---- finding what a person sees: the pane's own classes are seen as widgets ----------
    PSTableCell* row(const QString& title); // scrolled into view
    template <typename T> T* labelled(QWidget* within, const QString& text) const {
        for (T* w : within->findChildren<T*>())
            if (w->isVisible() && w->property("text").toString() == text)
                return w;
        return nullptr;
    }
    template <typename T> T* first(QWidget* within) const {
        for (T* w : within->findChildren<T*>())
            if (w->isVisible())
                return w;
        return nullptr;
    }
    QWidget* widgetOfClass(QWidget* within, const char* className) const;
    QWidget* presented() const; // an alert, a sheet or a popover over the window
    // Every control a person can reach now, in reading order: the bar left to right, then the
    // rows top to bottom, each left to right.
    QList<QWidget*> controls() const;

    // ---- input ----------------------------------------------------------------------------
    void tap(QWidget* control, std::optional<QPoint> at = {});
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Held for `ms`, repeated every 30 ms by the keyboard as X11 sends repeats.
    void holdKey(int key, int ms);
    void wait(int ms) { QTest::qWait(ms); }
    testing::AssertionResult tabTo(QWidget* control);
    testing::AssertionResult settle(); // nothing in the window moves any more

    // ---- what is drawn --------------------------------------------------------------------
    QImage shot() const { return window()->grab().toImage(); }
    QColor pixel(QWidget* control, QPoint at) const;
    // Whether `w` is drawn as it is after `show`, which `undo` takes back.
    bool drawnAs(QWidget* w, const std::function<void()>& show, const std::function<void()>& undo);
    bool draws(QWidget* label, const QString& text);
    // True when the switch's thumb is drawn on the right (on); none between the two ends.
    std::optional<bool> switchDrawnOn(QWidget* switchControl);
    // Whether the row draws `value` as its kind does: a switch's thumb, a slider's thumb and
    // read-out, a text field's text, a colour's swatch and words.
    bool shows(PSTableCell* row, const QVariant& value);

    // ---- the file, read independently -----------------------------------------------------
    QString preferencesPath() const { return _root.hostPath(kPreferences); }
    QVariant stored(const QString& key) const;
    int reloads(); // exact: every earlier post has arrived

private:
    InstalledRoot _root;
    std::unique_ptr<SettingsApplication> _app;
    QObject _listening;
    int _reloads = 0;
};

bool near(const QColor& a, const QColor& b, int tolerance);
// Numbers equal to a millionth, other values exactly.
bool sameValue(const QVariant& a, const QVariant& b);
