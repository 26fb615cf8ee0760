#pragma once

#include "FileIdentity.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct FileWriteResult {
    bool ok = false;
    QString error;
    // The file was not what the caller expected (someone changed, created or removed it since
    // the caller read it); nothing was written. Read again, reapply the change and retry.
    bool conflict = false;
    explicit operator bool() const { return ok; }
};

// Durable whole-file replacement: readers see the old bytes or the new ones, never a mix, and
// a crash at any moment leaves one of the two.
class AtomicFile {
public:
    // Writes `bytes` to a temporary file beside the target (".<name>.XXXXXX", O_EXCL,
    // O_CLOEXEC), syncs it, gives it the replaced file's permission bits and group (a new
    // file gets 0644 less the umask), renames it over the target and syncs the directory.
    //
    // The target is `hostPath`, or, when that is a symbolic link, the file at the end of the
    // link (created when the link dangles): the link itself is kept.
    //
    // With `expected` given, the target's identity is compared with *expected (nullopt:
    // "there was no file") right before the rename; on a mismatch nothing changes and the
    // result has `conflict` set. The check and the rename are two system calls, so a change
    // landing in the few microseconds between them still goes unnoticed; no lock-free
    // scheme closes that, and it is far narrower than the read-modify-write it guards.
    //
    // On failure the temporary file is removed, the old file is untouched and `error` names
    // the step and the system's reason. A failed directory sync is reported too, though by
    // then the new content is in place (a rename cannot be taken back).
    static FileWriteResult replace(const QString& hostPath, const QByteArray& bytes,
                                   const std::optional<FileIdentity>* expected = nullptr);
};
