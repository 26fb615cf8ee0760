#pragma once

#include "preferences/PSListController.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class PSSpecifier;
class UITableView;

// The pane's base list controller: loads the row list "Root" and lets a row collapse the run of
// rows after it (its nested group) while its stored value reads "0".
//
// A row controls a group when it carries "nestedEntryCount". The count is read as a signed
// 64-bit integer: a number gives its integer part (truncated, saturating at the 64-bit limits; a
// boolean gives 0 or 1); a text gives its leading decimal integer, 0 when it holds none. A count
// of any other kind (list, dictionary, date, data) is treated as absent: the row controls
// nothing.
class QEVRootListController : public PSListController {
    Q_OBJECT
public:
    // Key: index of a controlling specifier in the list given to setupNestedSpecifiers; value:
    // the specifiers that follow it, in list order. The list controller owns the specifiers.
    using NestedGroups = QMap<quint64, QList<PSSpecifier*>>;

    explicit QEVRootListController(QObject* parent = nullptr);

    QList<PSSpecifier*> specifiers() override;
    void viewDidLoad() override;
    virtual void setupNestedSpecifiers(const QList<PSSpecifier*>& specifiers);
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override;
    void reloadSpecifiers() override;
    double heightForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override;
    // Within a height pass a group's state is worked out once, for all the rows it holds.
    void heightPassWillBegin(UITableView* tableView) override;
    void heightPassDidEnd(UITableView* tableView) override;

    // Plain accessors. The dictionary is shared, not copied: the setter keeps the object given.
    std::shared_ptr<NestedGroups> dynamicSpecifiers() const { return _dynamicSpecifiers; }
    void setDynamicSpecifiers(std::shared_ptr<NestedGroups> dynamicSpecifiers);
    bool hasDynamicSpecifiers() const { return _hasDynamicSpecifiers; }
    void setHasDynamicSpecifiers(bool hasDynamicSpecifiers) {
        _hasDynamicSpecifiers = hasDynamicSpecifiers;
    }

    // "nestedEntryCount" as a count, or nothing when the value does not count as one.
    static std::optional<qint64> nestedEntryCount(const QVariant& value);

    // The index of a controlling row whose stored value reads "0" and whose group holds
    // `specifier` (the first in index order), or nothing when no group collapses it. The answer
    // comes from the reverse map (row -> the controlling rows whose groups hold it), so it
    // costs what the row's own groups cost, not what all groups cost. Within a height pass,
    // which asks about every row, the rows of the collapsed groups are gathered once instead.
    std::optional<quint64> collapsingGroup(PSSpecifier* specifier);
    // The same answer found by walking every group in the dictionary's order and testing
    // membership in each: the reference the reverse map must agree with.
    std::optional<quint64> collapsingGroupByScan(PSSpecifier* specifier);

private:
    bool isCollapsedByGroup(quint64 controllingIndex);
    bool readsCollapsed(quint64 controllingIndex);
    // The run of the reverse map that holds `specifier`'s groups.
    std::span<const std::pair<PSSpecifier*, quint64>> controllingIndicesOf(PSSpecifier* specifier);
    // Whether `copy`, a shallow copy of the groups dictionary, is still the dictionary as it is.
    bool followsGroups(const NestedGroups& copy) const;
    void rebuildReverseMap();
    std::span<const std::pair<PSSpecifier*, quint64>> collapsedRowsInPass();

    std::shared_ptr<NestedGroups> _dynamicSpecifiers;
    bool _hasDynamicSpecifiers = false;
    // (row, key of a group that holds it), sorted, so a row's groups are one run in key order:
    // one block however many rows are held. Built from a shallow copy of the dictionary: a
    // change made to the shared dictionary detaches it from that copy, which tells the map to
    // rebuild before it answers again.
    std::vector<std::pair<PSSpecifier*, quint64>> _controllingIndices;
    NestedGroups _indexedGroups;
    bool _reverseMapBuilt = false;
    // Controlling row -> whether it collapses its group, for the height pass under way.
    std::optional<QHash<quint64, bool>> _collapsedInPass;
    // (row, key of a collapsed group that holds it), sorted as the reverse map is, for the pass
    // under way, and the dictionary it was gathered from.
    std::optional<std::vector<std::pair<PSSpecifier*, quint64>>> _collapsedRowsInPass;
    NestedGroups _passGroups;
};
