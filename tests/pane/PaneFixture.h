#pragma once

#include "common/Eventually.h"
#include "common/MessageLog.h"
#include "common/NotifyDrain.h"
#include "common/TestBundle.h"

#include "foundation/PropertyList.h"
#include "notify/NotifyCenter.h"
#include "pane/PaneRegistration.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UITableView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIWindow.h"

#include <QAbstractButton>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using Pane = TOLVPLAYERPreferencesListController;

// Reload notifications this process has posted so far, whether or not a bus carried them.
inline quint64 postsSoFar() {
    return NotifyCenter::darwin()->postedCount() + NotifyCenter::darwin()->lostCount();
}

// The height the table has laid out for the row at `listIndex` (animations included); -1 for a
// row the table does not show.
inline double laidOutHeight(Pane& pane, int listIndex) {
    const auto path = pane.indexPathForSpecifier(pane.specifiers().at(listIndex));
    return path ? pane.table()->rectForRowAtIndexPath(*path).height() : -1.0;
}

// A pane of `items` (by default a group of 30 switch rows), from a device root of its own, shown
// as the Settings application shows it: in a navigation controller of its own, pushed on the
// Settings navigation controller, in a key window 390 wide; its cells are made.
struct ShownPane {
    TempDeviceRoot root;
    UIWindow window;
    UINavigationController* settings = new UINavigationController(new UIViewController);
    Pane* pane;

    explicit ShownPane(const QVariantList& items = manyRows(30), Pane* made = nullptr)
        : pane(made ? made : new Pane) {
        registerPaneClasses();
        pane->setBundle(makeRowListBundle(root, items));
        window.resize(390, 844);
        window.setRootViewController(settings);
        window.makeKeyAndVisible();
        settings->pushViewController(new UINavigationController(pane), false);
        QCoreApplication::processEvents();
        window.grab();
    }
    static QVariantList manyRows(int count) {
        QVariantList rows{groupRow("G")};
        for (int i = 0; i < count; ++i)
            rows.append(switchRow(QStringLiteral("k%1").arg(i)));
        return rows;
    }
    QAbstractButton* restartButton() {
        UIBarButtonItem* item = pane->navigationItem()->rightBarButtonItems().value(0);
        return item ? qobject_cast<QAbstractButton*>(item->customView()) : nullptr;
    }
    void scrollTo(double y) {
        pane->table()->setContentOffset(QPointF(0, y));
        pane->scrollViewDidScroll(pane->table()); // also when the offset did not move
    }
};

// What one store through the pane left besides the file: the warnings it wrote and the reload
// notifications it posted (and, once the bus has caught up, that reached an observer).
class StoreWatch {
public:
    StoreWatch()
        : _token(NotifyCenter::darwin()->observe(Pane::kReloadNotification, &_context,
                                                 [this] { ++_heard; })) {}
    ~StoreWatch() { NotifyCenter::darwin()->removeObserver(_token); }
    StoreWatch(const StoreWatch&) = delete;
    StoreWatch& operator=(const StoreWatch&) = delete;

    // No warning and exactly one announcement.
    testing::AssertionResult landed() {
        if (!_log.warnings().isEmpty())
            return testing::AssertionFailure()
                   << "warned: " << _log.warnings().join('\n').toStdString();
        return announced(1);
    }
    // Exactly one warning, naming `path` and `reason`, and nobody told to reload.
    testing::AssertionResult failed(const QString& path, const QString& reason = {}) {
        if (_log.warnings().size() != 1 || _log.mentioning({path, reason}).size() != 1)
            return testing::AssertionFailure()
                   << "expected one warning naming " << path.toStdString() << " and \""
                   << reason.toStdString()
                   << "\", got: " << _log.warnings().join('\n').toStdString();
        return announced(0);
    }

private:
    testing::AssertionResult announced(int count) {
        if (postsSoFar() - _postsBefore != quint64(count))
            return testing::AssertionFailure()
                   << postsSoFar() - _postsBefore << " posts, not " << count;
        if (const auto settled = notificationsSettled(); !settled)
            return settled;
        if (_heard != count)
            return testing::AssertionFailure() << _heard << " deliveries, not " << count;
        return testing::AssertionSuccess();
    }

    MessageLog _log;
    QObject _context;
    int _heard = 0;
    quint64 _postsBefore = postsSoFar();
    int _token;
};

class PaneTest : public testing::Test {
protected:
    TempDeviceRoot root;
    Pane pane;

    void load(const QVariantList& items) {
        pane.setBundle(makeRowListBundle(root, items));
        pane.view();
    }
    PSSpecifier* row(int listIndex) { return pane.specifiers().at(listIndex); }
    QString prefsPath() const { return root.hostPath(Pane::kPreferencesPath); }
    QString prefsDir() const { return QFileInfo(prefsPath()).absolutePath(); }
    void writePrefs(const QVariantMap& entries) {
        ASSERT_TRUE(PropertyList::writeDictionary(entries, prefsPath()));
    }
    std::optional<QVariantMap> prefs() const { return PropertyList::readDictionary(prefsPath()); }
    // Files beside the preference file that hold earlier, unreadable content.
    QStringList movedAside() const {
        return QDir(prefsDir())
            .entryList({"com.qev.tolvplayerprefs.plist.unreadable-*"}, QDir::Files, QDir::Name);
    }
};
