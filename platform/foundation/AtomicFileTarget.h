#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

// The file AtomicFile really replaces for a path: when the path is a symbolic link (or a chain
// of them), the file at its end, so the link survives and the file it points to gets the new
// content. A dangling link resolves to the path it points to, which the write then creates.
struct AtomicFileTarget {
    QByteArray dir;  // absolute, with links in it resolved where it exists
    QByteArray name; // the final component; empty when the path names no file
    int error = 0;   // errno when resolution failed (ELOOP, ...); 0 otherwise

    QByteArray path() const { return dir.endsWith('/') ? dir + name : dir + "/" + name; }

    static AtomicFileTarget resolve(const QString& hostPath);
};

// Inline so that every program built from the atomic-write sources alone links.
namespace AtomicFileTargetDetail {

// The limit the kernel applies to a path walk, so a cycle of links ends the same way.
inline constexpr int maxLinkHops = 40;

inline QByteArray directoryOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// Follows `path` while it is a link; false with errno set when a link cannot be read or the
// chain does not end. A path that cannot be examined ends the walk: the write reports why.
inline bool followLinks(QByteArray& path) {
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(path.constData(), buffer, sizeof buffer);
        if (length < 0)
            return false;
        if (size_t(length) == sizeof buffer)
            return errno = ENAMETOOLONG, false;
        const QByteArray target(buffer, length);
        path = target.startsWith('/') ? target : directoryOf(path) + "/" + target;
    }
    errno = ELOOP;
    return false;
}

} // namespace AtomicFileTargetDetail

inline AtomicFileTarget AtomicFileTarget::resolve(const QString& hostPath) {
    AtomicFileTarget target;
    if (hostPath.isEmpty() || hostPath.endsWith('/'))
        return target;
    QByteArray path = QFile::encodeName(QFileInfo(hostPath).absoluteFilePath());
    using namespace AtomicFileTargetDetail;
    if (!followLinks(path)) {
        target.error = errno;
        return target;
    }
    const qsizetype slash = path.lastIndexOf('/');
    target.name = path.mid(slash + 1);
    target.dir = directoryOf(path);
    if (char* real = ::realpath(target.dir.constData(), nullptr)) {
        target.dir = real;
        std::free(real);
    }
    return target;
}
