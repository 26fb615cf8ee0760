#pragma once

#include <QByteArray>
#include <QString>

struct FileWriteResult {
    bool ok = false;
    QString error;
    explicit operator bool() const { return ok; }
};

// Durable whole-file replacement: readers see the old bytes or the new ones, never a mix, and
// a crash at any moment leaves one of the two.
class AtomicFile {
public:
    // Writes `bytes` to a temporary file beside `hostPath` (".<name>.XXXXXX", O_EXCL,
    // O_CLOEXEC), syncs it, gives it the replaced file's permission bits (a new file gets 0644
    // less the umask), renames it over `hostPath` and syncs the directory. On failure the
    // temporary file is removed, the old file is untouched and `error` names the step and the
    // system's reason. A failed directory sync is reported too, though by then the new
    // content is in place (a rename cannot be taken back).
    static FileWriteResult replace(const QString& hostPath, const QByteArray& bytes);
};
