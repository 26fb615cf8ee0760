#pragma once

#include "preferences/PSListController.h"

#include <QList>
#include <QMap>
#include <memory>
#include <optional>

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

    // Plain accessors. The dictionary is shared, not copied: the setter keeps the object given.
    std::shared_ptr<NestedGroups> dynamicSpecifiers() const { return _dynamicSpecifiers; }
    void setDynamicSpecifiers(std::shared_ptr<NestedGroups> dynamicSpecifiers) {
        _dynamicSpecifiers = std::move(dynamicSpecifiers);
    }
    bool hasDynamicSpecifiers() const { return _hasDynamicSpecifiers; }
    void setHasDynamicSpecifiers(bool hasDynamicSpecifiers) {
        _hasDynamicSpecifiers = hasDynamicSpecifiers;
    }

    // "nestedEntryCount" as a count, or nothing when the value does not count as one.
    static std::optional<qint64> nestedEntryCount(const QVariant& value);

private:
    bool isCollapsedByGroup(quint64 controllingIndex, PSSpecifier* specifier);

    std::shared_ptr<NestedGroups> _dynamicSpecifiers;
    bool _hasDynamicSpecifiers = false;
};
