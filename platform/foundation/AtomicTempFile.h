#pragma once

#include <QByteArray>

// The temporary files of AtomicFile: ".<name>.XXXXXX" beside the target. A writer holds an
// flock on its temporary file while it is in flight; the kernel drops the lock when the
// writer dies, so a file left by a writer killed mid-write can be told from a live one and
// removed, and such leftovers never pile up.
//
// A file another writer swaps out of the target's place lands under that writer's temporary
// name, unlocked, until it has read it. So leftovers are removed only by a writer that finds
// no other writer at work in the directory: every writer holds a shared flock on the
// directory while it writes.
class AtomicTempFile {
public:
    // A new, exclusive, locked temporary file for `name` in `dir`; -1 with errno on failure.
    static int create(const QByteArray& dir, const QByteArray& name, QByteArray& path);
    // Joins the writers in `dir` (the descriptor to close when done, or -1 where directories
    // cannot be opened or locked); when it is the only one, first removes the temporary files
    // for `name` that no live writer holds.
    static int enterDirectory(const QByteArray& dir, const QByteArray& name);
    static bool isTempName(const QByteArray& entry, const QByteArray& name);
};
