#pragma once

#include "common/Eventually.h"
#include "common/InstalledRoot.h"
#include "common/QtPrinters.h"

#include "SettingsApplication.h"

#include <QColor>
#include <QDBusConnection>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

class PSTableCell;
class UITableView;

// Counts the reload notifications that reach an observer on the session bus, exactly: a
// sentinel sent after the counted posts arrives after them.
class ReloadListener : public QObject {
    Q_OBJECT
public:
    ReloadListener();
    int settled();

private slots:
    void heard(const QString& name);

private:
    int _count = 0;
    int _sentinels = 0;
    QString _awaited; // this settling's own sentinel: another process's may arrive meanwhile
    bool _sentinelHeard = false;
};

// The Settings program as a person meets it: installed into a fresh device root, started on
// the pane, its window shown and active. Everything a test does to it goes through the window
// as real input: mouse presses and releases at a control's place on screen, key presses to
// whatever has the focus. What it checks is what is drawn (the window grabbed) and what the
// preference file holds, read here with libplist, not through the pane's own store.
class SettingsScreen {
public:
    struct Start {
        QStringList arguments;                       // after the installed root's
        bool openPane = true;                        // --open TOLVPlayer
        std::function<void(InstalledRoot&)> prepare; // runs on the root before the start
    };
    SettingsScreen();
    explicit SettingsScreen(Start start);
    ~SettingsScreen();

    InstalledRoot& root() { return _root; }
    QWidget* window() const;
    PSListController* pane() const { return _app->openedPane(); }
    UITableView* table() const;

    // ---- finding what a person sees -----------------------------------------------------
    // The row whose title reads `title`, scrolled into view.
    PSTableCell* row(const QString& title);
    // The visible widget of class `T` inside `within` whose text reads `text`.
    template <typename T> T* labelled(QWidget* within, const QString& text) const {
        for (T* w : within->findChildren<T*>())
            if (w->isVisible() && textOf(w) == text)
                return w;
        return nullptr;
    }
    template <typename T> T* first(QWidget* within) const {
        for (T* w : within->findChildren<T*>())
            if (w->isVisible())
                return w;
        return nullptr;
    }
    // A visible widget whose class name is `className` (the pane's own classes are not linked
    // into this suite; it sees them as a person does, as widgets).
    QWidget* widgetOfClass(QWidget* within, const char* className) const;
    // What is presented over the window now (an alert, a sheet, a popover), or none.
    QWidget* presented() const;
    // Every control of the window a person can reach now (shown, enabled, taking Tab focus), in
    // reading order: the navigation bar left to right, then the rows top to bottom, each row
    // left to right.
    QList<QWidget*> controls() const;

    // ---- input -----------------------------------------------------------------------------
    void tap(QWidget* control, std::optional<QPoint> at = {});
    void press(QWidget* control, std::optional<QPoint> at = {});
    void moveTo(QWidget* control, QPoint at);
    void release(QWidget* control, std::optional<QPoint> at = {});
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // A key held: pressed, repeated by the keyboard (a release and a press marked as repeats,
    // as X11 sends them), let go.
    void keyDown(int key);
    void keyRepeat(int key);
    void keyUp(int key);
    // Presses Tab until `control` has the focus, as a keyboard user reaches it.
    testing::AssertionResult tabTo(QWidget* control);
    void type(const QString& text);
    void wait(int ms);
    // Waits until nothing in the window is moving any more (a presentation's fade, say).
    testing::AssertionResult settle();

    // ---- what is drawn -------------------------------------------------------------------
    QImage shot() const;
    QColor pixel(QWidget* control, QPoint at) const;
    // Whether `label` shows `text`: the window as drawn equals the window drawn again with the
    // label set to `text` (the label's own text is put back afterwards).
    bool draws(QWidget* label, const QString& text);
    // Which side of a switch's track the thumb covers: true when the left of the track is in
    // the on-colour, so the thumb sits right.
    std::optional<bool> switchDrawnOn(QWidget* switchControl) const;

    // ---- the file, read independently --------------------------------------------------
    QString preferencesPath() const;
    std::optional<QVariantMap> file() const;
    QVariant stored(const QString& key) const;
    int reloads() { return _reloads.settled(); }

private:
    static QString textOf(const QWidget* w);
    QPoint windowPoint(QWidget* control, std::optional<QPoint> at) const;

    InstalledRoot _root;
    std::unique_ptr<SettingsApplication> _app;
    ReloadListener _reloads;
};

// Presses Tab until `control` has the focus, as a keyboard user reaches it.
testing::AssertionResult tabTo(SettingsScreen& screen, QWidget* control);

// A preference file read straight with libplist: XML or binary, a dictionary of booleans,
// numbers and texts (other kinds read as null). Nothing when missing or not a dictionary.
std::optional<QVariantMap> readPreferenceFile(const QString& path);
