#include "AtomicFile.h"

#include "AtomicFileFaults.h"
#include "AtomicFileTarget.h"
#include "AtomicTempFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileWriteResult failure(const QString& step, int error) {
    return FileWriteResult{false,
                           step + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(error))};
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

// Writes, syncs and closes the temporary file; on failure closes it and names the step.
// The group goes first: changing it may clear set-id bits, which the mode then restores.
std::optional<FileWriteResult> fillTemp(int fd, const QByteArray& bytes, const Keep& keep) {
    const AtomicFileOps& ops = AtomicFileFaults::current();
    auto fail = [&](const char* step, int error) {
        ops.close(fd);
        return failure(QString::fromLatin1(step), error);
    };
    if (int error = writeAll(fd, bytes))
        return fail("write", error);
    if (int error = keepGroup(fd, keep.group))
        return fail("fchown", error);
    if (keep.mode && ops.fchmod(fd, *keep.mode) != 0)
        return fail("fchmod", errno);
    if (ops.fsync(fd) != 0)
        return fail("fsync", errno);
    if (ops.close(fd) != 0)
        return failure(QStringLiteral("close"), errno);
    return std::nullopt;
}

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

} // namespace

FileWriteResult AtomicFile::replace(const QString& hostPath, const QByteArray& bytes,
                                    const std::optional<FileIdentity>* expected) {
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
    if (changed(path, expected))
        return conflict(); // already stale: spare the write

    AtomicTempFile::removeStale(target.dir, target.name);
    QByteArray tempPath;
    const int fd = AtomicTempFile::create(target.dir, target.name, tempPath);
    if (fd < 0)
        return failure(QStringLiteral("create temporary file"), errno);
    if (std::optional<FileWriteResult> failed = fillTemp(fd, bytes, keep)) {
        ::unlink(tempPath.constData());
        return *failed;
    }
    // The last look before the rename: only a change in between these two calls is missed.
    if (changed(path, expected)) {
        ::unlink(tempPath.constData());
        return conflict();
    }
    if (AtomicFileFaults::current().rename(tempPath.constData(), path.constData()) != 0) {
        int error = errno;
        ::unlink(tempPath.constData());
        return failure(QStringLiteral("rename"), error);
    }
    return syncDirectory(target.dir);
}
