// The pane and its preference file beyond a plain store: a store that failed is shown as such,
// and a change another program made to the file is shown as soon as it is noticed.
#include "TOLVPLAYERPreferencesListController.h"

#include "PaneToast.h"
#include "PreferenceFileWatcher.h"

#include "foundation/NSBundle.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSTableCell.h"
#include "preferences/UITableView.h"

#include <QSet>

#include <cerrno>

namespace {
const QString kStringsTable = QStringLiteral("Root");

// The entries whose values differ between the two, either side's missing ones included.
QSet<QString> changedKeys(const QVariantMap& before, const QVariantMap& after) {
    QSet<QString> changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const auto now = after.constFind(it.key());
        if (now == after.cend() || now.value() != it.value())
            changed.insert(it.key());
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            changed.insert(it.key());
    }
    return changed;
}
} // namespace

void TOLVPLAYERPreferencesListController::watchPreferenceFile() {
    _shownEntries = _store.currentEntries().value_or(QVariantMap());
    auto* watcher = new PreferenceFileWatcher(_store.hostPath(), this);
    connect(watcher, &PreferenceFileWatcher::fileMayHaveChanged, this,
            &TOLVPLAYERPreferencesListController::preferenceFileMayHaveChanged);
}

void TOLVPLAYERPreferencesListController::preferenceFileMayHaveChanged() {
    // A file being rewritten in place reads as no dictionary for a moment; the notice of the
    // rest of its write follows, so the rows keep what they show until then.
    const std::optional<QVariantMap> entries = _store.currentEntries();
    if (!entries || *entries == _shownEntries)
        return;
    const QSet<QString> changed = changedKeys(_shownEntries, *entries);
    _shownEntries = *entries;
    for (PSSpecifier* specifier : specifiers()) {
        const std::optional<QString> key = entryKey(specifier);
        PSTableCell* cell = specifier ? specifier->cell() : nullptr;
        if (cell && key && changed.contains(*key))
            cell->showStoredValue();
    }
    // Heights only, as after a store, but no text field being edited loses its focus.
    UITableView* tableView = table();
    if (hasDynamicSpecifiers() && tableView) {
        tableView->beginUpdates();
        tableView->endUpdates();
    }
}

void TOLVPLAYERPreferencesListController::storeDidFail(PSSpecifier* specifier,
                                                       const FileWriteResult& written) {
    PSTableCell* cell = specifier ? specifier->cell() : nullptr;
    if (cell)
        cell->showStoredValue();
    // A pane that was never shown has no window to say it in; stderr has it.
    QWidget* window = isViewLoaded() ? view()->window() : nullptr;
    if (!window)
        return;
    if (!_toast)
        _toast = new PaneToast(window, paneDarkColor());
    // Over the list, clear of the row it is about: that row shows the value kept.
    _toast->showMessage(saveFailureTitle(specifier), saveFailureReason(written.errorCode), view(),
                        cell);
}

QString TOLVPLAYERPreferencesListController::localized(const QString& text) const {
    NSBundle* strings = bundle();
    return strings ? strings->localizedStringForKey(text, text, kStringsTable) : text;
}

QString TOLVPLAYERPreferencesListController::saveFailureTitle(PSSpecifier* specifier) const {
    const QString name = specifier ? specifier->name() : QString();
    if (name.isEmpty())
        return localized(QStringLiteral("Could not save the setting."));
    return localized(QStringLiteral("Could not save “%@”.")).replace(QStringLiteral("%@"), name);
}

QString TOLVPLAYERPreferencesListController::saveFailureReason(int errorCode) const {
    switch (errorCode) {
    case EACCES:
    case EPERM:
        return localized(QStringLiteral("No permission to write the settings file."));
    case EROFS:
        return localized(QStringLiteral("The settings file is on a read-only disk."));
    case ENOSPC:
    case EDQUOT:
        return localized(QStringLiteral("The disk is full."));
    default:
        return localized(QStringLiteral("The settings file could not be written."));
    }
}
