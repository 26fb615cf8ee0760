#include "AtomicFile.h"

#include "AtomicFileFaults.h"
#include "AtomicTempFile.h"

#include <QFileInfo>

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

// Writes, syncs and closes the temporary file; on failure closes it and names the step.
std::optional<FileWriteResult> fillTemp(int fd, const QByteArray& bytes,
                                        std::optional<mode_t> keepMode) {
    const AtomicFileOps& ops = AtomicFileFaults::current();
    auto fail = [&](const char* step, int error) {
        ops.close(fd);
        return failure(QString::fromLatin1(step), error);
    };
    if (int error = writeAll(fd, bytes))
        return fail("write", error);
    if (keepMode && ops.fchmod(fd, *keepMode) != 0)
        return fail("fchmod", errno);
    if (ops.fsync(fd) != 0)
        return fail("fsync", errno);
    if (ops.close(fd) != 0)
        return failure(QStringLiteral("close"), errno);
    return std::nullopt;
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

FileWriteResult AtomicFile::replace(const QString& hostPath, const QByteArray& bytes) {
    const QFileInfo info(hostPath);
    const QByteArray path = QFile::encodeName(info.absoluteFilePath());
    const QByteArray dir = QFile::encodeName(info.absolutePath());
    const QByteArray name = QFile::encodeName(info.fileName());
    if (name.isEmpty())
        return failure(QStringLiteral("path"), EISDIR);

    std::optional<mode_t> keepMode;
    struct stat old {};
    if (::stat(path.constData(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return failure(QStringLiteral("target"), EISDIR);
        keepMode = old.st_mode & 07777;
    }

    AtomicTempFile::removeStale(dir, name);
    QByteArray tempPath;
    const int fd = AtomicTempFile::create(dir, name, tempPath);
    if (fd < 0)
        return failure(QStringLiteral("create temporary file"), errno);
    if (std::optional<FileWriteResult> failed = fillTemp(fd, bytes, keepMode)) {
        ::unlink(tempPath.constData());
        return *failed;
    }
    if (AtomicFileFaults::current().rename(tempPath.constData(), path.constData()) != 0) {
        int error = errno;
        ::unlink(tempPath.constData());
        return failure(QStringLiteral("rename"), error);
    }
    return syncDirectory(dir);
}
