#include "PreferenceStore.h"

#include "foundation/DeviceRoot.h"
#include "foundation/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
// Two writers that both check come back in step after every conflict (each waits on its own
// sync); a short random pause, growing with each attempt, breaks the step.
void pauseBeforeAttempt(int attempt) {
    const qint64 ceilingUs = std::min<qint64>(250LL << std::min(attempt, 5), 8000);
    std::this_thread::sleep_for(
        std::chrono::microseconds(QRandomGenerator::global()->bounded(ceilingUs + 1)));
}

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
    // Within a pass the file has been looked at already; its path need not be worked out for
    // every row again.
    if (const PreferenceSnapshot* seen = _cache.passSnapshot())
        return seen->dictionary.value_or(QVariantMap());
    return _cache.read(hostPath()).dictionary.value_or(QVariantMap());
}

std::optional<QVariantMap> PreferenceStore::currentEntries() const {
    const PreferenceSnapshot& file = _cache.look(hostPath());
    if (file.dictionary)
        return file.dictionary;
    return file.exists ? std::nullopt : std::optional<QVariantMap>(QVariantMap());
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

bool PreferenceStore::sameFile(const QString& a, const QString& b) {
    const std::optional<FileIdentity> x = FileIdentity::of(a);
    const std::optional<FileIdentity> y = FileIdentity::of(b);
    return x && y && x->device == y->device && x->inode == y->inode;
}

PreferenceStore::Aside PreferenceStore::setAside(const QString& hostPath) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QByteArray path = QFile::encodeName(hostPath);
    for (int attempt = 1; attempt <= kMaxMoveAsideAttempts; ++attempt) {
        const QString name = unreadableName(hostPath, now, attempt);
        if (pathExists(name))
            continue;
        // Through a link to the file itself, so the copy is of the content, not of the link.
        if (::linkat(AT_FDCWD, path.constData(), AT_FDCWD, QFile::encodeName(name).constData(),
                     AT_SYMLINK_FOLLOW) == 0)
            return Aside{{true, QString()}, name, true};
        if (errno == EEXIST)
            continue;
        break; // no hard links here (or not allowed): move the file instead
    }
    return Aside{moveAside(hostPath), QString(), false};
}

FileWriteResult PreferenceStore::keepAside(const QString& hostPath, const QByteArray& bytes) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::optional<FileIdentity> none;
    for (int attempt = 1; attempt <= kMaxMoveAsideAttempts; ++attempt) {
        FileWriteResult kept =
            AtomicFile::replace(unreadableName(hostPath, now, attempt), bytes, &none);
        if (!kept.conflict)
            return kept;
    }
    return {false, QStringLiteral("no free name to keep an unreadable file aside")};
}

FileWriteResult PreferenceStore::storeEntry(const QString& key, const QVariant& value) const {
    const QString path = hostPath();
    // Entries of a file that another writer put in place at the very moment of our swap: our
    // write displaced it, so they are merged into the next attempt.
    std::optional<QVariantMap> displaced;
    std::optional<FileIdentity> ours;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        if (attempt > 0)
            pauseBeforeAttempt(attempt);
        const PreferenceSnapshot& file = _cache.look(path);
        std::optional<FileIdentity> expected = file.identity;
        QVariantMap entries = file.dictionary.value_or(QVariantMap());
        if (displaced) {
            // Over our own write, the displaced file is exactly what came before it.
            if (file.identity && file.identity == ours)
                entries = *displaced;
            else
                entries.insert(*displaced);
        }
        entries.insert(key, value);
        // Serialised before anything is moved, so a value that cannot be stored changes nothing.
        const QByteArray bytes = PropertyList::toXml(entries);
        if (bytes.isEmpty())
            return {false, QStringLiteral("the value cannot be stored in a property list")};
        Aside aside;
        if (!file.dictionary && file.exists) {
            aside = setAside(path);
            if (!aside.result)
                return aside.result;
            // A link leaves the file in place (its change time moves); a move leaves nothing.
            expected = aside.linked ? FileIdentity::of(path) : std::nullopt;
            if (aside.linked && !sameFile(path, aside.name))
                continue; // replaced meanwhile; the copy kept is of what was there
        }
        // A writer that keeps losing the race stops checking first and merges what it displaced.
        FileWriteResult written =
            AtomicFile::replace(path, bytes, &expected, attempt >= kCheckedAttempts);
        // Not replaced after all: the file is still in its place, so one copy is enough.
        if (!written.ok && aside.linked && sameFile(path, aside.name))
            QFile::remove(aside.name);
        if (written.ok) {
            if (written.written)
                _cache.remember(path, *written.written, bytes, entries);
            return written;
        }
        if (!written.conflict)
            return written;
        if (written.displaced) {
            ours = written.written;
            const std::optional<QVariant> parsed = PropertyList::parse(*written.displaced);
            if (parsed && parsed->typeId() == QMetaType::QVariantMap) {
                // Each file displaced so far holds changes no other file may hold yet.
                QVariantMap merged = displaced.value_or(QVariantMap());
                merged.insert(parsed->toMap());
                displaced = merged;
            } else if (FileWriteResult kept = keepAside(path, *written.displaced); !kept) {
                return kept;
            } else {
                return {true, QString()}; // ours is in place; theirs is kept beside it
            }
        }
    }
    if (displaced)
        return storeDisplaced(path, *displaced, key, value);
    return {false, QStringLiteral("the file kept changing while it was written (%1 attempts)")
                       .arg(kMaxAttempts)};
}

FileWriteResult PreferenceStore::storeDisplaced(const QString& path, const QVariantMap& displaced,
                                                const QString& key, const QVariant& value) const {
    // Out of attempts while holding entries that only a file our own write displaced had: a
    // plain replace puts them back rather than dropping them. Its window against a writer that
    // lands at the same instant is the only one left; an unreadable file is never replaced here.
    const PreferenceSnapshot& file = _cache.look(path);
    if (!file.dictionary && file.exists)
        return {false, QStringLiteral("the file kept changing while it was written (%1 attempts)")
                           .arg(kMaxAttempts)};
    QVariantMap entries = file.dictionary.value_or(QVariantMap());
    entries.insert(displaced);
    entries.insert(key, value);
    const QByteArray bytes = PropertyList::toXml(entries);
    FileWriteResult written = AtomicFile::replace(path, bytes);
    if (written.ok && written.written)
        _cache.remember(path, *written.written, bytes, entries);
    return written;
}
