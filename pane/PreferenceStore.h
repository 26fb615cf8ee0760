#pragma once

#include "foundation/AtomicFile.h"
#include "pane/PreferenceCache.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// The add-on's preference file: a property list whose root is a dictionary of entry key to
// value. Every read and every write goes to the file, so a change made by another program is
// seen at once and entries this pane does not know survive its writes; only the parse of an
// unchanged file is reused (PreferenceCache).
class PreferenceStore {
public:
    explicit PreferenceStore(QString devicePath);

    // Resolved on every use, so a change of the device root takes effect at once.
    QString hostPath() const;

    // The file's entries; none when it is missing, unreadable or not a dictionary.
    QVariantMap entries() const;
    // The file's entries as it is now, even within a read pass: none when it is missing, and
    // nothing at all while something is there that does not read as a dictionary (such as a
    // file another program is rewriting in place).
    std::optional<QVariantMap> currentEntries() const;

    // Read the file, set one entry, write the whole dictionary atomically. A file that exists but
    // cannot be read as a dictionary is kept aside first (never overwritten), so its content is
    // kept for the user. On failure the file is left as it was.
    //
    // Another program may write the file at the same time. The write goes in only over the
    // very file that was read; when the file changed meanwhile, it is read again, the entry set
    // again and the write tried again after a short random pause, up to kMaxAttempts times, so the
    // other program's change is kept, not overwritten.
    FileWriteResult storeEntry(const QString& key, const QVariant& value) const;
    static constexpr int kMaxAttempts = 100;
    // After this many conflicts the write goes in over whatever is there, and the entries of
    // the file it displaced are merged in the next attempt: a steady writer cannot starve us.
    static constexpr int kCheckedAttempts = 8;

    // Reads between these look at the file once (see PreferenceCache::beginPass).
    void beginReadPass() const { _cache.beginPass(); }
    void endReadPass() const { _cache.endPass(); }
    int parseCount() const { return _cache.parseCount(); }

    // The name an unreadable file is moved to: "<file>.unreadable-<UTC time>", then "-2", "-3"...
    // up to the first that does not exist.
    static QString unreadableName(const QString& hostPath, const QDateTime& when, int attempt);

private:
    // An unreadable file is kept under unreadableName before it is replaced: by a hard link,
    // so it stays in its place until the new file takes it (a failed write changes nothing),
    // or, where links cannot be made, by moving it.
    struct Aside {
        FileWriteResult result{true, QString()};
        QString name;
        bool linked = false;
    };
    static Aside setAside(const QString& hostPath);
    static FileWriteResult moveAside(const QString& hostPath);
    static bool sameFile(const QString& a, const QString& b);
    FileWriteResult storeDisplaced(const QString& path, const QVariantMap& displaced,
                                   const QString& key, const QVariant& value) const;
    static FileWriteResult keepAside(const QString& hostPath, const QByteArray& bytes);

    QString _devicePath;
    mutable PreferenceCache _cache;
};
