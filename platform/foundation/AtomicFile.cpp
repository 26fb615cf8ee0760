#include "AtomicFile.h"

#include "AtomicFileFaults.h"
#include "AtomicFileTarget.h"
#include "AtomicTempFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileWriteResult failure(const QString& step, int error) {
    FileWriteResult result{false,
                           step + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(error))};
    result.errorCode = error;
    return result;
}

// 0 on success, else the errno of the failed write.
int writeAll(int fd, const QByteArray& bytes) {
    const AtomicFileOps& ops = AtomicFileFaults::current();
    const char* data = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        ssize_t written = ops.write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC; // no progress: treat as a full device rather than spin
        data += written;
        left -= size_t(written);
    }
    return 0;
}

// What the new file takes over from the one it replaces.
struct Keep {
    std::optional<mode_t> mode;
    std::optional<gid_t> group;
};

// Gives the temporary file the old file's group. EPERM is not a failure: a writer that is not
// in that group (and not root) cannot hand the file to it, and the file then has the writer's
// group, as with any editor that saves by rename.
int keepGroup(int fd, std::optional<gid_t> group) {
    struct stat own {};
    if (!group || ::fstat(fd, &own) != 0 || own.st_gid == *group)
        return 0;
    if (AtomicFileFaults::current().fchown(fd, uid_t(-1), *group) == 0 || errno == EPERM)
        return 0;
    return errno;
}

// Writes and syncs the temporary file; on failure names the step. The descriptor stays open
// (and its lock held) until the file is in place, so no cleaner takes it meanwhile. The group
// goes first: changing it may clear set-id bits, which the mode then restores.
std::optional<FileWriteResult> fillTemp(int fd, const QByteArray& bytes, const Keep& keep) {
    const AtomicFileOps& ops = AtomicFileFaults::current();
    if (int error = writeAll(fd, bytes))
        return failure(QStringLiteral("write"), error);
    if (int error = keepGroup(fd, keep.group))
        return failure(QStringLiteral("fchown"), error);
    if (keep.mode && ops.fchmod(fd, *keep.mode) != 0)
        return failure(QStringLiteral("fchmod"), errno);
    if (ops.fsync(fd) != 0)
        return failure(QStringLiteral("fsync"), errno);
    return std::nullopt;
}

// The writer's shared lock on the directory (AtomicTempFile::enterDirectory), until it is done.
class DirectoryEntry {
public:
    DirectoryEntry(const QByteArray& dir, const QByteArray& name)
        : _fd(AtomicTempFile::enterDirectory(dir, name)) {}
    ~DirectoryEntry() {
        if (_fd >= 0)
            ::close(_fd);
    }
    DirectoryEntry(const DirectoryEntry&) = delete;
    DirectoryEntry& operator=(const DirectoryEntry&) = delete;

private:
    int _fd;
};

FileWriteResult conflict() {
    return FileWriteResult{false, QStringLiteral("conflict: the file changed since it was read"),
                           true};
}

bool changed(const QByteArray& path, const std::optional<FileIdentity>* expected) {
    return expected && FileIdentity::ofEncoded(path.constData()) != *expected;
}

FileWriteResult syncDirectory(const QByteArray& dir) {
    const AtomicFileOps& ops = AtomicFileFaults::current();
    int fd = ops.openDirectory(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return failure(QStringLiteral("open directory (file was replaced)"), errno);
    int result = ops.fsyncDirectory(fd);
    int error = errno;
    ::close(fd);
    if (result != 0)
        return failure(QStringLiteral("fsync directory (file was replaced)"), error);
    return FileWriteResult{true, {}};
}

// The same file in the same version; the change time is left out, since the swap itself
// moves it.
bool sameVersion(const struct stat& st, const FileIdentity& expected) {
    const FileIdentity seen = FileIdentity::fromStat(st);
    return seen.device == expected.device && seen.inode == expected.inode &&
           seen.size == expected.size && seen.modifiedNs == expected.modifiedNs;
}

std::optional<QByteArray> readAll(const QByteArray& path) {
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// Puts the temporary file in the target's place: a plain rename, or, when the caller says
// what it expects there, a swap that proves it replaced exactly that file.
class Swap {
public:
    Swap(QByteArray temp, QByteArray target, bool swapAnyway)
        : _temp(std::move(temp)), _target(std::move(target)), _swapAnyway(swapAnyway) {}

    FileWriteResult run(const std::optional<FileIdentity>* expected) {
        if (!expected)
            return rename(0);
        if (!*expected)
            return create();
        return exchange(**expected);
    }
    // Whether the new file took the target's place (then the temporary name is not ours).
    bool swapped() const { return _swapped; }

private:
    FileWriteResult rename(unsigned flags) {
        if (AtomicFileFaults::current().rename(_temp.constData(), _target.constData(), flags) !=
            0) {
            _error = errno;
            return failure(QStringLiteral("rename"), _error);
        }
        _swapped = true;
        return FileWriteResult{true, {}};
    }

    // Without exchange support the last check and a plain rename must do.
    FileWriteResult checkedRename(const std::optional<FileIdentity>& expected) {
        if (FileIdentity::ofEncoded(_target.constData()) != expected)
            return conflict();
        return rename(0);
    }

    FileWriteResult create() {
        FileWriteResult result = rename(RENAME_NOREPLACE);
        if (result.ok)
            return result;
        if (_error == EEXIST)
            return conflict();
        return _error == EINVAL ? checkedRename(std::nullopt) : result;
    }

    FileWriteResult exchange(const FileIdentity& expected) {
        // The last look, so that the usual conflict costs no swap at all.
        if (!_swapAnyway && FileIdentity::ofEncoded(_target.constData()) != expected)
            return conflict();
        // A shared lock on the file about to be displaced keeps temporary-file cleaners off it
        // while it sits under the temporary name.
        const int held = ::open(_target.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (held < 0)
            return errno == ENOENT ? conflict() : failure(QStringLiteral("open target"), errno);
        ::flock(held, LOCK_SH);
        FileWriteResult result = rename(RENAME_EXCHANGE);
        if (result.ok)
            result = inspectDisplaced(expected);
        ::close(held);
        if (!result.ok && !_swapped && _error == EINVAL)
            return checkedRename(expected);
        if (!result.ok && !_swapped && _error == ENOENT)
            return conflict();
        return result;
    }

    // The temporary name now holds the file that was in place. It was the expected one:
    // remove it. It was not: hand its bytes back so the caller can merge them.
    FileWriteResult inspectDisplaced(const FileIdentity& expected) {
        struct stat st {};
        if (::lstat(_temp.constData(), &st) == 0 && sameVersion(st, expected)) {
            ::unlink(_temp.constData());
            return FileWriteResult{true, {}};
        }
        const std::optional<QByteArray> bytes = readAll(_temp);
        if (!bytes) {
            // Unreadable to us: leave it where it is rather than lose it.
            return FileWriteResult{false, QStringLiteral("the file replaced at the last moment "
                                                         "could not be read; it is kept as ") +
                                              QFile::decodeName(_temp)};
        }
        ::unlink(_temp.constData());
        FileWriteResult result = conflict();
        result.displaced = *bytes;
        return result;
    }

    QByteArray _temp;
    QByteArray _target;
    bool _swapAnyway = false;
    bool _swapped = false;
    int _error = 0;
};

} // namespace

FileWriteResult AtomicFile::replace(const QString& hostPath, const QByteArray& bytes,
                                    const std::optional<FileIdentity>* expected, bool swapAnyway) {
    const AtomicFileTarget target = AtomicFileTarget::resolve(hostPath);
    if (target.error)
        return failure(QStringLiteral("resolve link"), target.error);
    if (target.name.isEmpty())
        return failure(QStringLiteral("path"), EISDIR);
    const QByteArray path = target.path();

    Keep keep;
    struct stat old {};
    if (::stat(path.constData(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return failure(QStringLiteral("target"), EISDIR);
        keep = Keep{old.st_mode & 07777, old.st_gid};
    }
    // Already stale: spare the write (unless it is to go in anyway, over a file that is there).
    const bool swapsAnyway =
        swapAnyway && expected && *expected && ::access(path.constData(), F_OK) == 0;
    if (!swapsAnyway && changed(path, expected))
        return conflict();

    const DirectoryEntry entered(target.dir, target.name);
    QByteArray tempPath;
    const int fd = AtomicTempFile::create(target.dir, target.name, tempPath);
    if (fd < 0)
        return failure(QStringLiteral("create temporary file"), errno);
    const AtomicFileOps& ops = AtomicFileFaults::current();
    Swap swap(tempPath, path, swapsAnyway);
    std::optional<FileWriteResult> failed = fillTemp(fd, bytes, keep);
    FileWriteResult result = failed ? *failed : swap.run(expected);
    const bool inPlace = swap.swapped();
    if (inPlace) {
        struct stat st {};
        if (::fstat(fd, &st) == 0)
            result.written = FileIdentity::fromStat(st);
    } else {
        ::unlink(tempPath.constData());
    }
    // Closed only now: until the file is in place the descriptor's lock guards it.
    const bool closed = ops.close(fd) == 0;
    const int closeError = errno;
    if (!inPlace)
        return result;
    if (FileWriteResult synced = syncDirectory(target.dir); !synced && result.ok)
        return synced;
    if (!closed && result.ok)
        return failure(QStringLiteral("close (file was replaced)"), closeError);
    return result;
}
