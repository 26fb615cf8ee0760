#include "FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

namespace {

constexpr qint64 nsPerSecond = 1000000000;

qint64 nanoseconds(const timespec& time) {
    return qint64(time.tv_sec) * nsPerSecond + qint64(time.tv_nsec);
}

} // namespace

std::optional<FileIdentity> FileIdentity::of(const QString& hostPath) {
    if (hostPath.isEmpty())
        return std::nullopt;
    return ofEncoded(QFile::encodeName(hostPath).constData());
}

std::optional<FileIdentity> FileIdentity::ofEncoded(const char* path) {
    struct stat st {};
    if (::stat(path, &st) != 0)
        return std::nullopt;
    return fromStat(st);
}

FileIdentity FileIdentity::fromStat(const struct stat& st) {
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                        nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}
