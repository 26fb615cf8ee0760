#pragma once

#include <QFile>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <sys/stat.h>

// What a file at a path is right now: which file (device, inode) and which version of it
// (size, modification and status-change times to the nanosecond). A reader keeps the identity
// it read and a writer compares it before replacing, so an edit made by someone else in
// between is noticed instead of overwritten. An atomic replacement always makes a new inode,
// and an in-place write moves the change time, so either kind of change shows.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    // The identity of the file `hostPath` names, through symbolic links; nullopt when there
    // is no such file (or it cannot be examined).
    static std::optional<FileIdentity> of(const QString& hostPath);
    static std::optional<FileIdentity> ofEncoded(const char* path);
    static FileIdentity fromStat(const struct stat& st);

    bool operator==(const FileIdentity&) const = default;
};

// Inline so that every program built from the atomic-write sources alone links.
namespace FileIdentityDetail {

inline constexpr qint64 nsPerSecond = 1000000000;

inline qint64 nanoseconds(const timespec& time) {
    return qint64(time.tv_sec) * nsPerSecond + qint64(time.tv_nsec);
}

} // namespace FileIdentityDetail

inline std::optional<FileIdentity> FileIdentity::of(const QString& hostPath) {
    if (hostPath.isEmpty())
        return std::nullopt;
    return ofEncoded(QFile::encodeName(hostPath).constData());
}

inline std::optional<FileIdentity> FileIdentity::ofEncoded(const char* path) {
    struct stat st {};
    if (::stat(path, &st) != 0)
        return std::nullopt;
    return fromStat(st);
}

inline FileIdentity FileIdentity::fromStat(const struct stat& st) {
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                        FileIdentityDetail::nanoseconds(st.st_mtim),
                        FileIdentityDetail::nanoseconds(st.st_ctim)};
}
