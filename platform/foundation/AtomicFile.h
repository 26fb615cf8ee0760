#pragma once

#include "FileIdentity.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct FileWriteResult {
    FileWriteResult() = default;
    FileWriteResult(bool ok, QString error, bool conflict = false)
        : ok(ok), error(std::move(error)), conflict(conflict) {}

    bool ok = false;
    QString error;
    // The system's reason (errno) for the failed step, or 0 when the failure has none.
    int errorCode = 0;
    // The file was not what the caller expected (someone changed, created or removed it since
    // the caller read it); nothing was written. Read again, reapply the change and retry.
    bool conflict = false;
    // The new file, right after it took the target's place (unset when nothing was put there).
    std::optional<FileIdentity> written;
    // Set with `conflict` when the write went in over a file other than the expected one (a
    // writer replaced it in the last moment): that file's bytes. The new bytes ARE in place;
    // merge the displaced content and write again, expecting `written`.
    std::optional<QByteArray> displaced;
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
    // With `expected` given (nullopt: "there was no file"), nothing is replaced unless the
    // target is still that file: a file that changed before the swap gives `conflict` and no
    // write. The swap itself is an exchange (renameat2 RENAME_EXCHANGE; RENAME_NOREPLACE for a
    // new file) followed by a look at the file it displaced, so even a replacement that lands
    // between the last check and the swap is caught, and handed back in `displaced`. Only an
    // in-place write into the old file after the swap is missed. On file systems without
    // exchange, the last check and a plain rename leave a window of a few microseconds.
    //
    // On failure the temporary file is removed, the old file is untouched and `error` names
    // the step and the system's reason. A failed directory sync is reported too, though by
    // then the new content is in place (a rename cannot be taken back).
    //
    // With `swapAnyway`, a file that changed since it was read is swapped out all the same
    // and handed back in `displaced` (the write always goes in): for a writer that keeps losing
    // the race to one that never pauses, and merges what it displaced.
    static FileWriteResult replace(const QString& hostPath, const QByteArray& bytes,
                                   const std::optional<FileIdentity>* expected = nullptr,
                                   bool swapAnyway = false);
};
