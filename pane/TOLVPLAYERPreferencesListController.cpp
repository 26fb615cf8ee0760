#include "TOLVPLAYERPreferencesListController.h"

#include "notify/NotifyCenter.h"
#include "preferences/PSSpecifier.h"

#include <QDebug>

#ifndef QEV_PREFS_DIR
#define QEV_PREFS_DIR "/var/jb/var/mobile/Library/Preferences/"
#endif

const QString TOLVPLAYERPreferencesListController::kPreferencesPath =
    QStringLiteral(QEV_PREFS_DIR "com.qev.tolvplayerprefs.plist");
const QString TOLVPLAYERPreferencesListController::kReloadNotification =
    QStringLiteral("com.qev.tolvplayerprefs/ReloadPrefs");

namespace {
const QString kKeyProperty = QStringLiteral("key");
const QString kDefaultProperty = QStringLiteral("default");
} // namespace

TOLVPLAYERPreferencesListController::TOLVPLAYERPreferencesListController(QObject* parent)
    : QEVRootListController(parent), _store(kPreferencesPath) {
    buildNavigationChrome();
}

QList<PSSpecifier*> TOLVPLAYERPreferencesListController::specifiers() {
    // "Root", loaded once into the host's cache with this controller as every row's target.
    return QEVRootListController::specifiers();
}

int TOLVPLAYERPreferencesListController::tableViewStyle() {
    return 2;
}

std::optional<QString> TOLVPLAYERPreferencesListController::entryKey(PSSpecifier* specifier) {
    if (!specifier)
        return std::nullopt;
    const QVariant key = specifier->propertyForKey(kKeyProperty);
    if (key.typeId() != QMetaType::QString)
        return std::nullopt;
    return key.toString();
}

void TOLVPLAYERPreferencesListController::heightPassWillBegin(UITableView* tableView) {
    QEVRootListController::heightPassWillBegin(tableView);
    _store.beginReadPass();
}

void TOLVPLAYERPreferencesListController::heightPassDidEnd(UITableView* tableView) {
    _store.endReadPass();
    QEVRootListController::heightPassDidEnd(tableView);
}

QVariant TOLVPLAYERPreferencesListController::readPreferenceValue(PSSpecifier* specifier) {
    if (!specifier)
        return QVariant();
    if (const std::optional<QString> key = entryKey(specifier)) {
        const QVariantMap entries = _store.entries();
        const auto found = entries.constFind(*key);
        if (found != entries.cend())
            return found.value();
    }
    return specifier->propertyForKey(kDefaultProperty);
}

std::optional<FileWriteResult>
TOLVPLAYERPreferencesListController::storeValue(const QVariant& value, PSSpecifier* specifier) {
    const std::optional<QString> key = entryKey(specifier);
    if (!key || !value.isValid() || value.isNull()) {
        qWarning().noquote() << QStringLiteral("tolvplayerprefs: not stored in %1: %2")
                                    .arg(_store.hostPath(), key ? QStringLiteral("null value")
                                                                : QStringLiteral("row has no key"));
        return std::nullopt;
    }
    const FileWriteResult written = _store.storeEntry(*key, value);
    if (written)
        _shownEntries.insert(*key, value);
    else
        qWarning().noquote() << QStringLiteral("tolvplayerprefs: could not store \"%1\" in %2: %3")
                                    .arg(*key, _store.hostPath(), written.error);
    return written;
}

void TOLVPLAYERPreferencesListController::setPreferenceValue(const QVariant& value,
                                                             PSSpecifier* specifier) {
    // The file is complete before the base runs: its height pass reads the values back.
    const std::optional<FileWriteResult> written = storeValue(value, specifier);
    if (written && !written->ok)
        storeDidFail(specifier, *written);
    QEVRootListController::setPreferenceValue(value, specifier);
    // Announce only what reached the file, so the add-on never reloads an unchanged file.
    if (written && written->ok)
        NotifyCenter::darwin()->post(kReloadNotification);
}
