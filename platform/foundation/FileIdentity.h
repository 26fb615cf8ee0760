#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

struct stat;

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
