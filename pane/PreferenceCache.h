#pragma once

#include "foundation/FileIdentity.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>
#include <optional>

// One look at the preference file: which file it was, its bytes and what they parse to.
struct PreferenceSnapshot {
    std::optional<FileIdentity> identity; // nullopt: nothing could be opened at the path
    QByteArray bytes;
    std::optional<QVariantMap> dictionary; // nullopt: missing, unreadable or no dictionary
    bool exists = false;                   // something is at the path, readable or not
};

// The preference file's last parse, reused while the file is provably the same. Every read
// still looks at the file (one stat), so a change by another program is seen by the next
// read; only the parse is spared.
//
// The file's identity (device, inode, size, modification and change times) tells almost every
// change. What it cannot tell is an in-place rewrite of the same size within the file
// system's timestamp tick of the moment it was read: such a snapshot is "racy" and its bytes
// are compared on every use until a read made well after the file's last change confirms it.
class PreferenceCache {
public:
    // The file as it is now; within a pass, as the pass first saw it.
    const PreferenceSnapshot& read(const QString& hostPath);
    // The file as it is now, even within a pass: what a read-modify-write must start from, or
    // it would write back the pass's view over a change made since.
    const PreferenceSnapshot& look(const QString& hostPath);

    // What this process just wrote: `written` is the new file's identity, right after it took
    // its place. The next read checks the file and, finding it unchanged, skips the parse.
    void remember(const QString& hostPath, const FileIdentity& written, QByteArray bytes,
                  QVariantMap dictionary);

    // Between these, the file is looked at once, on the first read; later reads reuse it. For
    // a burst of reads that must agree (the heights of every row after a change).
    void beginPass();
    void endPass();
    // The look this pass already took, or none before its first read and outside a pass.
    const PreferenceSnapshot* passSnapshot() const;

    int parseCount() const { return _parses; }

    // How close to a read a file's change time may lie and still be racy: far above any
    // file system's timestamp tick.
    static constexpr qint64 kRacyWindowNs = 100'000'000;

private:
    bool reusable(const QString& hostPath);
    static bool isRacy(const FileIdentity& identity, qint64 readAt);
    void load(const QString& hostPath);

    PreferenceSnapshot _snapshot;
    QString _path;
    bool _valid = false;
    bool _racy = true;
    bool _inPass = false;
    bool _passRead = false;
    int _parses = 0;
};
