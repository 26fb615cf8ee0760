#include "preferences/PSListController.h"

#include "foundation/NSBundle.h"
#include "foundation/TextRules.h"
#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSEditTextTableCell.h"
#include "preferences/PSSliderTableCell.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSSpecifierListLoader.h"
#include "preferences/PSSwitchTableCell.h"
#include "preferences/UITableView.h"

#include <QDebug>
#include <cmath>
#include <utility>

namespace {

constexpr double kMaximumRowHeight = 10000;

// "height" as a row height: a number, or a text that is wholly one, finite and not negative.
std::optional<double> heightFromProperty(const QVariant& value) {
    double height = 0;
    bool ok = false;
    if (value.typeId() == QMetaType::QString)
        height = value.toString().trimmed().toDouble(&ok);
    else if (value.typeId() != QMetaType::Bool && TextRules::isNumber(value))
        height = value.toDouble(&ok);
    if (!ok || !std::isfinite(height) || height < 0)
        return std::nullopt;
    return std::min(height, kMaximumRowHeight);
}

} // namespace

PSListController::PSListController(QObject* parent) : UIViewController(parent) {}

PSListController::~PSListController() {
    // The table may outlive this part of the controller while the view is torn down.
    if (_table)
        _table->detachController();
}

QList<PSSpecifier*> PSListController::specifiers() {
    return _specifiers.value_or(QList<PSSpecifier*>());
}

void PSListController::setSpecifiers(const QList<PSSpecifier*>& specifiers) {
    _specifiers = specifiers;
    reloadSpecifiers();
}

QList<PSSpecifier*> PSListController::loadSpecifiersFromPlistName(const QString& name,
                                                                  PSListController* target) {
    if (!_bundle || name.isEmpty())
        return {};
    // A pane without rows is blank on screen; stderr says what was missing, once, though the
    // load is tried again on every ask.
    const QString path = _bundle->pathForResource(name, QStringLiteral("plist"));
    if (path.isEmpty()) {
        if (!std::exchange(_saidListMissing, true))
            qWarning().noquote() << QStringLiteral("no row list \"%1.plist\" in %2")
                                        .arg(name, _bundle->bundlePath());
        return {};
    }
    PSSpecifierListLoader::Result result =
        PSSpecifierListLoader::loadFile(path, _bundle, target, this);
    if (!result.title.isNull())
        setTitle(result.title);
    if (result.specifiers.isEmpty() && !std::exchange(_saidListMissing, true))
        qWarning().noquote() << QStringLiteral("the row list %1 has no rows: it cannot be read as "
                                               "a property list or has no \"items\"")
                                    .arg(path);
    return result.specifiers;
}

void PSListController::rebuildGroups() {
    _groups.clear();
    for (PSSpecifier* specifier : specifiers()) {
        if (!specifier)
            continue;
        if (specifier->cellType() == PSGroupCell) {
            _groups.append(Group{specifier, {}});
            continue;
        }
        if (_groups.isEmpty())
            _groups.append(Group{});
        _groups.last().rows.append(specifier);
    }
    _groupsBuilt = true;
}

const QList<PSListController::Group>& PSListController::groups() const {
    if (!_groupsBuilt)
        const_cast<PSListController*>(this)->rebuildGroups();
    return _groups;
}

PSSpecifier* PSListController::specifierAtIndexPath(NSIndexPath indexPath) const {
    const QList<Group>& all = groups();
    if (indexPath.section < 0 || indexPath.section >= all.size())
        return nullptr;
    const QList<PSSpecifier*>& rows = all.at(indexPath.section).rows;
    if (indexPath.row < 0 || indexPath.row >= rows.size())
        return nullptr;
    return rows.at(indexPath.row);
}

std::optional<NSIndexPath> PSListController::indexPathForSpecifier(PSSpecifier* specifier) const {
    const QList<Group>& all = groups();
    for (int s = 0; s < all.size(); ++s) {
        const qsizetype row = all.at(s).rows.indexOf(specifier);
        if (row >= 0)
            return NSIndexPath{s, int(row)};
    }
    return std::nullopt;
}

QVariant PSListController::readPreferenceValue(PSSpecifier* specifier) {
    return specifier ? specifier->propertyForKey(QStringLiteral("default")) : QVariant();
}

void PSListController::setPreferenceValue(const QVariant&, PSSpecifier*) {}

void PSListController::reloadSpecifiers() {
    _groupsBuilt = false;
    if (_table)
        _table->reloadData();
}

UITableView* PSListController::table() {
    if (!_table)
        _table = new UITableView(this, tableViewStyle());
    return _table;
}

void PSListController::loadView() {
    setView(table());
}

int PSListController::numberOfSectionsInTableView(UITableView*) {
    rebuildGroups();
    return int(_groups.size());
}

int PSListController::numberOfRowsInSection(UITableView*, int section) {
    const QList<Group>& all = groups();
    return section >= 0 && section < all.size() ? int(all.at(section).rows.size()) : 0;
}

QString PSListController::titleForHeaderInSection(UITableView*, int section) {
    const QList<Group>& all = groups();
    if (section < 0 || section >= all.size() || !all.at(section).group)
        return QString();
    return all.at(section).group->name();
}

QString PSListController::titleForFooterInSection(UITableView*, int section) {
    const QList<Group>& all = groups();
    if (section < 0 || section >= all.size() || !all.at(section).group)
        return QString();
    return all.at(section).group->footerText();
}

double PSListController::heightForRowAtIndexPath(UITableView*, NSIndexPath indexPath) {
    PSSpecifier* specifier = specifierAtIndexPath(indexPath);
    if (!specifier)
        return kDefaultRowHeight;
    return heightFromProperty(specifier->propertyForKey(QStringLiteral("height")))
        .value_or(kDefaultRowHeight);
}

PSTableCell* PSListController::makeStandardCell(PSSpecifier* specifier) {
    const QString reuse = specifier->propertyForKey(QStringLiteral("cell")).toString();
    switch (specifier->cellType()) {
    case PSSwitchCell:
        return new PSSwitchTableCell(UITableViewCellStyleDefault, reuse, specifier);
    case PSSliderCell:
        return new PSSliderTableCell(UITableViewCellStyleDefault, reuse, specifier);
    case PSEditTextCell:
        return new PSEditTextTableCell(UITableViewCellStyleDefault, reuse, specifier);
    default:
        return new PSTableCell(UITableViewCellStyleDefault, reuse, specifier);
    }
}

PSTableCell* PSListController::cellForRowAtIndexPath(UITableView*, NSIndexPath indexPath) {
    PSSpecifier* specifier = specifierAtIndexPath(indexPath);
    if (!specifier)
        return nullptr;
    PSTableCell* cell = nullptr;
    const QString className = specifier->cellClassName();
    if (const PSCellFactory factory = PSCellClassRegistry::factory(className))
        cell = factory(UITableViewCellStyleDefault, className, specifier);
    if (!cell)
        cell = makeStandardCell(specifier);
    specifier->setProperty(QVariant::fromValue<QObject*>(cell), PSTableCellKey);
    cell->refreshCellContentsWithSpecifier(specifier);
    return cell;
}

void PSListController::didSelectRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) {
    if (PSTableCell* cell = tableView ? tableView->cellForRowAtIndexPath(indexPath) : nullptr)
        cell->setSelected(false, true);
}

int PSListController::tableViewStyle() {
    return 1;
}

void PSListController::scrollViewDidScroll(UITableView*) {}

void PSListController::heightPassWillBegin(UITableView*) {}

void PSListController::heightPassDidEnd(UITableView*) {}
