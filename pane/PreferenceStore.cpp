#include "PreferenceStore.h"

#include "foundation/DeviceRoot.h"
#include "foundation/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {
// Far more than a person makes by hand; bounds the search when renames keep failing.
constexpr int kMaxMoveAsideAttempts = 1000;

bool pathExists(const QString& hostPath) {
    // A dangling symbolic link is still something not to overwrite silently.
    const QFileInfo info(hostPath);
    return info.exists() || info.isSymLink();
}
} // namespace

PreferenceStore::PreferenceStore(QString devicePath) : _devicePath(std::move(devicePath)) {}

QString PreferenceStore::hostPath() const {
    return DeviceRoot::resolve(_devicePath);
}

QVariantMap PreferenceStore::entries() const {
    return PropertyList::readDictionary(hostPath()).value_or(QVariantMap());
}

QString PreferenceStore::unreadableName(const QString& hostPath, const QDateTime& when,
                                        int attempt) {
    const QString stamp = when.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString name = hostPath + QStringLiteral(".unreadable-") + stamp;
    if (attempt > 1)
        name += QLatin1Char('-') + QString::number(attempt);
    return name;
}

FileWriteResult PreferenceStore::moveAside(const QString& hostPath) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int attempt = 1; attempt <= kMaxMoveAsideAttempts; ++attempt) {
        const QString target = unreadableName(hostPath, now, attempt);
        if (pathExists(target))
            continue;
        // QFile::rename never replaces an existing file, so an earlier copy is never lost.
        QFile file(hostPath);
        if (file.rename(target))
            return {true, QString()};
        if (!pathExists(target))
            return {false, QStringLiteral("moving the unreadable file aside to %1 failed: %2")
                               .arg(target, file.errorString())};
    }
    return {false, QStringLiteral("no free name to move the unreadable file aside")};
}

FileWriteResult PreferenceStore::storeEntry(const QString& key, const QVariant& value) const {
    const QString path = hostPath();
    const std::optional<QVariantMap> dictionary = PropertyList::readDictionary(path);
    QVariantMap entries = dictionary.value_or(QVariantMap());
    entries.insert(key, value);
    // Serialised before anything is moved, so a value that cannot be stored changes nothing.
    const QByteArray bytes = PropertyList::toXml(entries);
    if (bytes.isEmpty())
        return {false, QStringLiteral("the value cannot be stored in a property list")};
    if (!dictionary && pathExists(path)) {
        FileWriteResult moved = moveAside(path);
        if (!moved)
            return moved;
    }
    return AtomicFile::replace(path, bytes);
}
