#pragma once

#include "common/TempDeviceRoot.h"
#include "framework/RowListBundle.h"

#include "foundation/PropertyList.h"
#include "notify/NotifyCenter.h"
#include "pane/PaneRegistration.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSSpecifier.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"

#include <QDBusConnection>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

// The pane, counting the height queries its base makes, so a test can see the base was called.
class CountingPane : public TOLVPLAYERPreferencesListController {
public:
    int heightQueries = 0;
    double heightForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        ++heightQueries;
        return TOLVPLAYERPreferencesListController::heightForRowAtIndexPath(tableView, indexPath);
    }
    double heightOf(int listIndex) {
        const auto path = indexPathForSpecifier(specifiers().at(listIndex));
        return path ? heightForRowAtIndexPath(table(), *path) : -1.0;
    }
};

inline const QString kPrefsDevicePath =
    QStringLiteral("/var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist");
inline const QString kReloadName = QStringLiteral("com.qev.tolvplayerprefs/ReloadPrefs");

inline bool haveSessionBus() {
    return QDBusConnection::sessionBus().isConnected();
}

// Reload notifications this process has posted so far, whether or not a bus carried them.
inline quint64 postsSoFar() {
    return NotifyCenter::darwin()->postedCount() + NotifyCenter::darwin()->lostCount();
}

// Shows `pane` in `window`, a key window 390 wide, and lays its rows out so their cells are
// made. Given `settings`, as the Settings application shows it: in a navigation controller of
// its own, pushed on `settings`.
inline void showInKeyWindow(UIWindow& window, UIViewController* pane,
                            UINavigationController* settings = nullptr) {
    window.resize(390, 844);
    window.setRootViewController(settings ? settings : pane);
    window.makeKeyAndVisible();
    if (settings)
        settings->pushViewController(new UINavigationController(pane), false);
    QCoreApplication::processEvents();
    window.grab();
}

// The pane, its classes registered as its module does on load, in a key window with its rows
// laid out; given `nested`, in the Settings application's navigation (see showInKeyWindow).
struct ShownPane {
    UIWindow window;
    UINavigationController* settings = nullptr;
    CountingPane* pane = new CountingPane;

    explicit ShownPane(NSBundle* bundle, bool nested = false) {
        registerPaneClasses();
        pane->setBundle(bundle);
        if (nested)
            settings = new UINavigationController(new UIViewController);
        showInKeyWindow(window, pane, settings);
    }
    template <typename Cell> Cell* cellAt(int listIndex) {
        return qobject_cast<Cell*>(pane->specifiers().at(listIndex)->cell());
    }
};

// Signals from one sender arrive in order: once a sentinel posted last has arrived, every
// earlier post has been delivered, so delivery counts can be compared exactly.
inline void drainNotifications(QObject* context) {
    bool arrived = false;
    const QString sentinel = QStringLiteral("test.pane/sentinel");
    const int token = NotifyCenter::darwin()->observe(sentinel, context, [&] { arrived = true; });
    ASSERT_NE(token, 0);
    NotifyCenter::darwin()->post(sentinel);
    QTRY_VERIFY_WITH_TIMEOUT(arrived, 5000);
    NotifyCenter::darwin()->removeObserver(token);
}

// Counts deliveries of the reload notification, exactly, once the bus has caught up.
class ReloadCounter {
public:
    ReloadCounter()
        : _token(
              NotifyCenter::darwin()->observe(kReloadName, &_context, [this] { ++_deliveries; })) {}
    ~ReloadCounter() { NotifyCenter::darwin()->removeObserver(_token); }
    ReloadCounter(const ReloadCounter&) = delete;
    ReloadCounter& operator=(const ReloadCounter&) = delete;
    int settled() {
        drainNotifications(&_context);
        return _deliveries;
    }

private:
    QObject _context;
    int _deliveries = 0;
    int _token;
};

class PaneTest : public testing::Test {
protected:
    TempDeviceRoot root;
    CountingPane pane;

    void load(const QVariantList& items) {
        pane.setBundle(makeRowListBundle(root, items));
        pane.view();
    }
    PSSpecifier* row(int listIndex) { return pane.specifiers().at(listIndex); }
    QString prefsPath() const { return root.hostPath(kPrefsDevicePath); }
    void writePrefs(const QVariantMap& entries) {
        ASSERT_TRUE(PropertyList::writeDictionary(entries, prefsPath()));
    }
    void writePrefsBytes(const QByteArray& bytes) {
        ASSERT_TRUE(root.writeFile(kPrefsDevicePath, bytes));
    }
    std::optional<QVariantMap> prefs() const { return PropertyList::readDictionary(prefsPath()); }
    // Files beside the preference file that hold earlier, unreadable content.
    QStringList movedAside() const {
        return QDir(QFileInfo(prefsPath()).absolutePath())
            .entryList({"com.qev.tolvplayerprefs.plist.unreadable-*"}, QDir::Files, QDir::Name);
    }
};
