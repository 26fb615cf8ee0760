#include "AtomicTempFile.h"

#include "AtomicFileFaults.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t newFileMode = 0644;
constexpr int nameAttempts = 100;
constexpr int suffixLength = 6;
const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QByteArray randomSuffix() {
    QByteArray suffix(suffixLength, '\0');
    for (char& c : suffix)
        c = alphabet[QRandomGenerator::global()->bounded(int(sizeof(alphabet) - 1))];
    return suffix;
}

QByteArray prefixFor(const QByteArray& name) {
    return "." + name + ".";
}

// Whether `path` still names the file open as `fd` (a cleaner may have removed it).
bool stillLinked(int fd, const QByteArray& path) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

void removeIfAbandoned(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillLinked(fd, path))
        ::unlink(path.constData());
    ::close(fd);
}

} // namespace

bool AtomicTempFile::isTempName(const QByteArray& entry, const QByteArray& name) {
    const QByteArray prefix = prefixFor(name);
    if (entry.size() != prefix.size() + suffixLength || !entry.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < entry.size(); ++i) {
        if (!std::strchr(alphabet, entry[i]) || entry[i] == '\0')
            return false;
    }
    return true;
}

int AtomicTempFile::create(const QByteArray& dir, const QByteArray& name, QByteArray& path) {
    const AtomicFileOps& ops = AtomicFileFaults::current();
    for (int attempt = 0; attempt < nameAttempts; ++attempt) {
        path = dir + "/" + prefixFor(name) + randomSuffix();
        const int fd = ops.openTemp(
            path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, newFileMode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return -1;
        // Without lock support the file stays unlocked, and cleaners cannot take it either.
        ::flock(fd, LOCK_EX);
        if (stillLinked(fd, path))
            return fd;
        ops.close(fd); // a cleaner took it before the lock: pick another name
    }
    errno = EEXIST;
    return -1;
}

int AtomicTempFile::enterDirectory(const QByteArray& dir, const QByteArray& name) {
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Another writer is at work: its files stay, even those that look abandoned.
        ::flock(fd, LOCK_SH);
        return fd;
    }
    if (DIR* listing = ::opendir(dir.constData())) {
        while (const dirent* entry = ::readdir(listing)) {
            const QByteArray entryName(entry->d_name);
            if (isTempName(entryName, name))
                removeIfAbandoned(dir + "/" + entryName);
        }
        ::closedir(listing);
    }
    ::flock(fd, LOCK_SH); // not atomic: another writer may clean in between, before we begin
    return fd;
}
