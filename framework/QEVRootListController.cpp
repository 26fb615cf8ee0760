#include "QEVRootListController.h"

#include "foundation/TextRules.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSTableCell.h"
#include "preferences/UITableView.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {
const QString kNestedEntryCountKey = QStringLiteral("nestedEntryCount");
const QString kRootListName = QStringLiteral("Root");

// Pointers of different rows compare through std::less, which orders any two.
bool byRowThenKey(const std::pair<PSSpecifier*, quint64>& a,
                  const std::pair<PSSpecifier*, quint64>& b) {
    if (a.first != b.first)
        return std::less<PSSpecifier*>()(a.first, b.first);
    return a.second < b.second;
}

using RowGroups = std::span<const std::pair<PSSpecifier*, quint64>>;

// The run of `sorted` (ordered by byRowThenKey) that belongs to `row`, its groups in key order.
RowGroups runOf(RowGroups sorted, PSSpecifier* row) {
    const auto [first, last] = std::equal_range(
        sorted.begin(), sorted.end(), std::pair(row, quint64(0)),
        [](const auto& a, const auto& b) { return std::less<PSSpecifier*>()(a.first, b.first); });
    return {first, last};
}

qint64 truncatedToInt64(double value) {
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable; anything at or beyond it saturates.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value <= -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(std::trunc(value));
}
} // namespace

QEVRootListController::QEVRootListController(QObject* parent) : PSListController(parent) {}

QList<PSSpecifier*> QEVRootListController::specifiers() {
    // A load that yields no rows leaves the cache absent, so the next call tries again.
    if (!_specifiers) {
        QList<PSSpecifier*> loaded = loadSpecifiersFromPlistName(kRootListName, this);
        if (!loaded.isEmpty())
            _specifiers = loaded;
    }
    return _specifiers.value_or(QList<PSSpecifier*>());
}

void QEVRootListController::viewDidLoad() {
    PSListController::viewDidLoad();
    setupNestedSpecifiers(specifiers());
}

std::optional<qint64> QEVRootListController::nestedEntryCount(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Double:
    case QMetaType::Float:
        return truncatedToInt64(value.toDouble());
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UInt: {
        const quint64 count = value.toULongLong();
        constexpr auto max = static_cast<quint64>(std::numeric_limits<qint64>::max());
        return static_cast<qint64>(count > max ? max : count);
    }
    case QMetaType::QString:
        return TextRules::longLongValue(value.toString());
    default:
        if (TextRules::isNumber(value))
            return value.toLongLong();
        return std::nullopt;
    }
}

void QEVRootListController::setupNestedSpecifiers(const QList<PSSpecifier*>& specifiers) {
    auto groups = std::make_shared<NestedGroups>();
    for (qsizetype i = 0; i < specifiers.size(); ++i) {
        PSSpecifier* specifier = specifiers.at(i);
        if (!specifier)
            continue;
        const std::optional<qint64> count =
            nestedEntryCount(specifier->propertyForKey(kNestedEntryCountKey));
        if (!count)
            continue;
        QList<PSSpecifier*> group;
        // Gathering stops at the end of the list, so a huge count costs no more than the list.
        for (qint64 j = 0; j < *count; ++j) {
            const qsizetype k = i + 1 + j;
            if (k >= specifiers.size())
                break;
            group.append(specifiers.at(k));
        }
        groups->insert(static_cast<quint64>(i), group);
    }
    setDynamicSpecifiers(groups);
    setHasDynamicSpecifiers(!groups->isEmpty());
}

void QEVRootListController::setPreferenceValue(const QVariant& value, PSSpecifier* specifier) {
    if (_collapsedInPass) {
        _collapsedInPass->clear(); // a store within a pass may change what a group shows
        _collapsedRowsInPass.reset();
    }
    PSListController::setPreferenceValue(value, specifier);
    if (hasDynamicSpecifiers())
        reloadSpecifiers();
}

void QEVRootListController::reloadSpecifiers() {
    // Heights only: the list is not reloaded and no cell is rebuilt, so cells keep their state.
    UITableView* tableView = table();
    if (!tableView)
        return;
    tableView->endEditing(true);
    tableView->beginUpdates();
    tableView->endUpdates();
}

void QEVRootListController::setDynamicSpecifiers(std::shared_ptr<NestedGroups> dynamicSpecifiers) {
    _dynamicSpecifiers = std::move(dynamicSpecifiers);
    _reverseMapBuilt = false;
}

bool QEVRootListController::followsGroups(const NestedGroups& copy) const {
    // A change made to the shared dictionary detaches it from every copy taken before.
    return _dynamicSpecifiers ? _dynamicSpecifiers->isSharedWith(copy) : copy.isEmpty();
}

void QEVRootListController::rebuildReverseMap() {
    _controllingIndices.clear();
    _indexedGroups = _dynamicSpecifiers ? *_dynamicSpecifiers : NestedGroups();
    for (auto it = _indexedGroups.cbegin(); it != _indexedGroups.cend(); ++it) {
        for (PSSpecifier* member : it.value())
            _controllingIndices.emplace_back(member, it.key());
    }
    std::sort(_controllingIndices.begin(), _controllingIndices.end(), byRowThenKey);
    // A row listed twice in one group still belongs to it once.
    _controllingIndices.erase(std::unique(_controllingIndices.begin(), _controllingIndices.end()),
                              _controllingIndices.end());
    _reverseMapBuilt = true;
}

std::span<const std::pair<PSSpecifier*, quint64>>
QEVRootListController::controllingIndicesOf(PSSpecifier* specifier) {
    if (!_reverseMapBuilt || !followsGroups(_indexedGroups))
        rebuildReverseMap();
    return runOf(_controllingIndices, specifier);
}

void QEVRootListController::heightPassWillBegin(UITableView*) {
    _collapsedInPass.emplace();
}

void QEVRootListController::heightPassDidEnd(UITableView*) {
    _collapsedInPass.reset();
    _collapsedRowsInPass.reset();
    _passGroups = NestedGroups();
}

std::span<const std::pair<PSSpecifier*, quint64>> QEVRootListController::collapsedRowsInPass() {
    if (!_collapsedRowsInPass || !followsGroups(_passGroups)) {
        _passGroups = _dynamicSpecifiers ? *_dynamicSpecifiers : NestedGroups();
        _collapsedRowsInPass.emplace();
        for (auto it = _passGroups.cbegin(); it != _passGroups.cend(); ++it) {
            if (!isCollapsedByGroup(it.key()))
                continue;
            for (PSSpecifier* member : it.value())
                _collapsedRowsInPass->emplace_back(member, it.key());
        }
        std::sort(_collapsedRowsInPass->begin(), _collapsedRowsInPass->end(), byRowThenKey);
    }
    return *_collapsedRowsInPass;
}

bool QEVRootListController::isCollapsedByGroup(quint64 controllingIndex) {
    if (!_collapsedInPass)
        return readsCollapsed(controllingIndex);
    const auto known = _collapsedInPass->constFind(controllingIndex);
    if (known != _collapsedInPass->cend())
        return known.value();
    const bool collapsed = readsCollapsed(controllingIndex);
    _collapsedInPass->insert(controllingIndex, collapsed);
    return collapsed;
}

bool QEVRootListController::readsCollapsed(quint64 controllingIndex) {
    const QList<PSSpecifier*> list = specifiers();
    if (controllingIndex >= static_cast<quint64>(list.size()))
        return false;
    PSSpecifier* controlling = list.at(static_cast<qsizetype>(controllingIndex));
    if (!controlling)
        return false;
    // Only the exact text "0" collapses: false, 0 and 0.0 give it; "false", "0.0", "" and any
    // value that is neither number nor text do not.
    return TextRules::decimalText(readPreferenceValue(controlling)) == QLatin1String("0");
}

std::optional<quint64> QEVRootListController::collapsingGroup(PSSpecifier* specifier) {
    if (!specifier)
        return std::nullopt;
    if (_collapsedInPass) {
        const RowGroups collapsed = runOf(collapsedRowsInPass(), specifier);
        return collapsed.empty() ? std::nullopt : std::optional(collapsed.front().second);
    }
    for (const auto& [row, key] : controllingIndicesOf(specifier)) {
        if (isCollapsedByGroup(key))
            return key;
    }
    return std::nullopt;
}

std::optional<quint64> QEVRootListController::collapsingGroupByScan(PSSpecifier* specifier) {
    if (!specifier || !_dynamicSpecifiers)
        return std::nullopt;
    for (auto it = _dynamicSpecifiers->cbegin(); it != _dynamicSpecifiers->cend(); ++it) {
        if (it.value().contains(specifier) && isCollapsedByGroup(it.key()))
            return it.key();
    }
    return std::nullopt;
}

double QEVRootListController::heightForRowAtIndexPath(UITableView* tableView,
                                                      NSIndexPath indexPath) {
    if (!hasDynamicSpecifiers() || !_dynamicSpecifiers)
        return PSListController::heightForRowAtIndexPath(tableView, indexPath);
    PSSpecifier* specifier = specifierAtIndexPath(indexPath);
    if (collapsingGroup(specifier)) {
        // A collapsed row keeps its cell; clipping stops its content drawing outside the
        // zero-height row.
        const QVariant cellValue = specifier->propertyForKey(PSTableCellKey);
        if (auto* cell = qobject_cast<PSTableCell*>(cellValue.value<QObject*>()))
            cell->setClipsToBounds(true);
        return 0.0;
    }
    return PSListController::heightForRowAtIndexPath(tableView, indexPath);
}
