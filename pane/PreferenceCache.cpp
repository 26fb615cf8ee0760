#include "PreferenceCache.h"

#include "foundation/PropertyList.h"

#include <QFile>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 realtimeNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return FileIdentityDetail::nanoseconds(now);
}

// What is at the path, read through one descriptor so identity and bytes belong together.
// Never blocks on a pipe and never holds more than a property list may be.
struct OpenedFile {
    std::optional<FileIdentity> identity;
    std::optional<QByteArray> bytes; // nullopt: not a regular file, too large or unreadable
    bool exists = false;
};

std::optional<QByteArray> readAllFrom(int fd, qint64 size) {
    if (size <= 0 || size > PropertyList::maxFileSize)
        return size == 0 ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    QByteArray bytes(size + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        total += got;
    }
    bytes.truncate(total);
    return bytes;
}

OpenedFile openFile(const QString& hostPath) {
    OpenedFile opened;
    const QByteArray path = QFile::encodeName(hostPath);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        // A dangling link is no file: writing through it makes the file it names.
        opened.exists = errno != ENOENT;
        return opened;
    }
    opened.exists = true;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        opened.identity = FileIdentity::fromStat(st);
        if (S_ISREG(st.st_mode))
            opened.bytes = readAllFrom(fd, st.st_size);
    }
    ::close(fd);
    return opened;
}

} // namespace

const PreferenceSnapshot& PreferenceCache::read(const QString& hostPath) {
    if (const PreferenceSnapshot* seen = passSnapshot(); seen && hostPath == _path)
        return *seen;
    return look(hostPath);
}

const PreferenceSnapshot& PreferenceCache::look(const QString& hostPath) {
    if (!reusable(hostPath))
        load(hostPath);
    _passRead = _inPass;
    return _snapshot;
}

const PreferenceSnapshot* PreferenceCache::passSnapshot() const {
    return _inPass && _passRead && _valid ? &_snapshot : nullptr;
}

bool PreferenceCache::reusable(const QString& hostPath) {
    if (!_valid || hostPath != _path || !_snapshot.identity)
        return false;
    const qint64 readAt = realtimeNs();
    const std::optional<FileIdentity> now = FileIdentity::of(hostPath);
    if (now != _snapshot.identity)
        return false;
    if (!_racy)
        return true;
    // Racy: the bytes decide, and a match made well after the file's last change ends the
    // doubt for good.
    const OpenedFile opened = openFile(hostPath);
    if (!opened.bytes || opened.identity != now || *opened.bytes != _snapshot.bytes)
        return false;
    _racy = isRacy(*now, readAt);
    return true;
}

bool PreferenceCache::isRacy(const FileIdentity& identity, qint64 readAt) {
    return identity.changedNs >= readAt - kRacyWindowNs ||
           identity.modifiedNs >= readAt - kRacyWindowNs;
}

void PreferenceCache::load(const QString& hostPath) {
    const qint64 readAt = realtimeNs();
    const OpenedFile opened = openFile(hostPath);
    _path = hostPath;
    _snapshot = PreferenceSnapshot();
    _snapshot.exists = opened.exists;
    _snapshot.identity = opened.identity;
    if (opened.bytes) {
        _snapshot.bytes = *opened.bytes;
        ++_parses;
        const std::optional<QVariant> parsed = PropertyList::parse(*opened.bytes);
        if (parsed && parsed->typeId() == QMetaType::QVariantMap)
            _snapshot.dictionary = parsed->toMap();
    }
    _valid = true;
    _racy = !opened.identity || isRacy(*opened.identity, readAt);
}

void PreferenceCache::remember(const QString& hostPath, const FileIdentity& written,
                               QByteArray bytes, QVariantMap dictionary) {
    _path = hostPath;
    _snapshot = PreferenceSnapshot{written, std::move(bytes), std::move(dictionary), true};
    _valid = true;
    _racy = true; // just written: only a later look at the bytes can vouch for them
    _passRead = false;
}

void PreferenceCache::beginPass() {
    _inPass = true;
    _passRead = false;
}

void PreferenceCache::endPass() {
    _inPass = false;
    _passRead = false;
}
