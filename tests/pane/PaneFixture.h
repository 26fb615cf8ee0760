#pragma once

#include "common/TempDeviceRoot.h"
#include "framework/RowListBundle.h"

#include "foundation/PropertyList.h"
#include "notify/NotifyCenter.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSSpecifier.h"

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
