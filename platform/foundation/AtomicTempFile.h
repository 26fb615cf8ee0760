#pragma once

#include <QByteArray>

// The temporary files of AtomicFile: ".<name>.XXXXXX" beside the target. A writer holds an
// flock on its temporary file while it is in flight; the kernel drops the lock when the
// writer dies, so a file left by a writer killed mid-write can be told from a live one and
// removed, and such leftovers never pile up.
class AtomicTempFile {
public:
    // A new, exclusive, locked temporary file for `name` in `dir`; -1 with errno on failure.
    static int create(const QByteArray& dir, const QByteArray& name, QByteArray& path);
    // Removes the temporary files for `name` in `dir` that no live writer holds.
    static void removeStale(const QByteArray& dir, const QByteArray& name);
    static bool isTempName(const QByteArray& entry, const QByteArray& name);
};
