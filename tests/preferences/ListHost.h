#pragma once

#include "common/RecordingListController.h"
#include "common/TestBundle.h"

#include "preferences/UITableView.h"

#include <QHash>
#include <QTest>

// The host's list controller over rows given in memory, in the pane's inset-grouped look, with
// its table shown in a window of its own. A row's height can be set by its key, as a pane that
// collapses rows would.
class ListHost : public RecordingListController<> {
public:
    explicit ListHost(const QVariantList& items) { setItems(items); }

    QHash<QString, double> heightOverrides;
    int openPasses = 0; // height passes the table began and has not ended
    void heightPassWillBegin(UITableView*) override { ++openPasses; }
    void heightPassDidEnd(UITableView*) override { --openPasses; }
    int tableViewStyle() override { return UITableView::InsetGrouped; }
    double heightForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        const double height =
            RecordingListController::heightForRowAtIndexPath(tableView, indexPath);
        PSSpecifier* specifier = specifierAtIndexPath(indexPath);
        const QString key = specifier ? specifier->propertyForKey("key").toString() : QString();
        return heightOverrides.value(key, height);
    }

    // Shows the table as a window of the given size; none when it did not come on screen.
    UITableView* show(int width = 390, int height = 600) {
        view()->resize(width, height);
        view()->show();
        view()->activateWindow();
        return QTest::qWaitForWindowExposed(view()) ? table() : nullptr;
    }
    // Sets the heights of the rows with `keys` (none: their own again) and lets the table take
    // them at once.
    void setHeights(const QStringList& keys, std::optional<double> height) {
        for (const QString& key : keys) {
            if (height)
                heightOverrides.insert(key, *height);
            else
                heightOverrides.remove(key);
        }
        table()->beginUpdates();
        table()->endUpdates();
        table()->finishAnimations();
    }
};

// `sections` groups of `rows` switch rows each, keyed "k<section>_<row>".
inline QVariantList switchSections(int sections, int rows) {
    QVariantList items;
    for (int s = 0; s < sections; ++s) {
        items << groupRow(QString("Group %1").arg(s));
        for (int r = 0; r < rows; ++r)
            items << switchRow(QString("k%1_%2").arg(s).arg(r));
    }
    return items;
}
