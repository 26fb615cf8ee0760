#include "SettingsEntry.h"

#include "foundation/DeviceRoot.h"
#include "foundation/PropertyList.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

const QString SettingsEntry::kEntriesDirectory =
    QStringLiteral("/var/jb/Library/PreferenceLoader/Preferences/");
const QString SettingsEntry::kBundlesDirectory =
    QStringLiteral("/var/jb/Library/PreferenceBundles/");

QString SettingsEntry::bundleHostPath() const {
    return DeviceRoot::resolve(kBundlesDirectory + bundleName + QStringLiteral(".bundle"));
}

QString SettingsEntry::iconHostPath() const {
    return iconName.isEmpty() ? QString() : bundleHostPath() + QLatin1Char('/') + iconName;
}

bool SettingsEntry::matches(const QString& text) const {
    return name.compare(text, Qt::CaseInsensitive) == 0 ||
           fileName.compare(text, Qt::CaseInsensitive) == 0;
}

bool SettingsEntry::isPlainFileName(const QString& name) {
    // An entry must not reach outside the bundles directory.
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

std::optional<SettingsEntry> SettingsEntry::fromFile(const QString& hostPath) {
    const std::optional<QVariantMap> root = PropertyList::readDictionary(hostPath);
    if (!root)
        return std::nullopt;
    const QVariant entryValue = root->value(QStringLiteral("entry"));
    if (entryValue.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap entry = entryValue.toMap();
    const auto text = [&](const char* key) {
        const QVariant value = entry.value(QString::fromLatin1(key));
        return value.typeId() == QMetaType::QString ? value.toString() : QString();
    };
    SettingsEntry result;
    result.fileName = QFileInfo(hostPath).completeBaseName();
    result.bundleName = text("bundle");
    result.iconName = text("icon");
    result.name = text("label");
    if (result.name.isEmpty())
        result.name = result.fileName;
    if (!isPlainFileName(result.bundleName))
        return std::nullopt;
    if (!result.iconName.isEmpty() && !isPlainFileName(result.iconName))
        result.iconName.clear();
    return result;
}

QString SettingsEntry::installedEntriesDirectory() {
    return DeviceRoot::resolve(kEntriesDirectory);
}

QList<SettingsEntry> SettingsEntry::installedEntries() {
    const QDir directory(installedEntriesDirectory());
    QList<SettingsEntry> entries;
    const QStringList files =
        directory.entryList({QStringLiteral("*.plist")}, QDir::Files | QDir::Readable);
    for (const QString& file : files) {
        const QString path = directory.filePath(file);
        if (std::optional<SettingsEntry> entry = fromFile(path))
            entries.append(*entry);
        else
            qWarning().noquote() << "Settings: skipping unusable entry" << path;
    }
    std::sort(entries.begin(), entries.end(), [](const SettingsEntry& a, const SettingsEntry& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return entries;
}
