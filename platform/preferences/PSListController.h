#pragma once

#include "preferences/NSIndexPath.h"
#include "uikit/UIViewController.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <optional>

class NSBundle;
class PSSpecifier;
class PSTableCell;
class UITableView;

// A view controller whose view is a table of rows described by specifiers. Group specifiers
// start sections (their "label" is the header, their "footerText" the footer); every other
// specifier is a row. The controller is the table's data source and delegate.
class PSListController : public UIViewController {
    Q_OBJECT
public:
    explicit PSListController(QObject* parent = nullptr);
    ~PSListController() override;

    // The rows in list order; the base gives the cached list, or nothing while it is absent.
    virtual QList<PSSpecifier*> specifiers();
    // Sets the cached list and rebuilds the table.
    void setSpecifiers(const QList<PSSpecifier*>& specifiers);
    // The row list "<name>.plist" of bundle(), each specifier with `target` as its target and
    // this controller as its owner; nothing when the list is missing or unreadable.
    QList<PSSpecifier*> loadSpecifiersFromPlistName(const QString& name, PSListController* target);

    PSSpecifier* specifierAtIndexPath(NSIndexPath indexPath) const;
    std::optional<NSIndexPath> indexPathForSpecifier(PSSpecifier* specifier) const;

    virtual QVariant readPreferenceValue(PSSpecifier* specifier); // base: its "default"
    virtual void setPreferenceValue(const QVariant& value, PSSpecifier* specifier);
    virtual void reloadSpecifiers(); // base: rebuilds the table from specifiers()

    UITableView* table(); // made on first use; it is the controller's view
    NSBundle* bundle() const { return _bundle; }
    void setBundle(NSBundle* bundle) { _bundle = bundle; }

    // Table data source and delegate.
    virtual int numberOfSectionsInTableView(UITableView* tableView);
    virtual int numberOfRowsInSection(UITableView* tableView, int section);
    virtual QString titleForHeaderInSection(UITableView* tableView, int section);
    virtual QString titleForFooterInSection(UITableView* tableView, int section);
    virtual double heightForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath);
    virtual PSTableCell* cellForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath);
    virtual void didSelectRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath);
    virtual int tableViewStyle(); // 0 plain, 1 grouped, 2 inset grouped
    virtual void scrollViewDidScroll(UITableView* scrollView);
    // Bracket a run of height queries for many rows at once (a reload, or the pass after
    // endUpdates), so a controller can read what the heights depend on once per pass instead
    // of once per row. Calls do not nest; the base does nothing.
    virtual void heightPassWillBegin(UITableView* tableView);
    virtual void heightPassDidEnd(UITableView* tableView);

    void loadView() override;

    // The standard cell for a specifier's "cell" kind.
    static PSTableCell* makeStandardCell(PSSpecifier* specifier);
    static constexpr double kDefaultRowHeight = 44;

protected:
    std::optional<QList<PSSpecifier*>> _specifiers;

private:
    struct Group {
        PSSpecifier* group = nullptr; // the group specifier, or none for rows before any group
        QList<PSSpecifier*> rows;
    };
    const QList<Group>& groups() const;
    void rebuildGroups();

    QPointer<UITableView> _table;
    NSBundle* _bundle = nullptr;
    mutable QList<Group> _groups;
    mutable bool _groupsBuilt = false;
    bool _saidListMissing = false;
};
