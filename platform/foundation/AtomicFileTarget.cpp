#include "AtomicFileTarget.h"

#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The limit the kernel applies to a path walk, so a cycle of links ends the same way.
constexpr int maxLinkHops = 40;

QByteArray directoryOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// Follows `path` while it is a link; false with errno set when a link cannot be read or the
// chain does not end. A path that cannot be examined ends the walk: the write reports why.
bool followLinks(QByteArray& path) {
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

} // namespace

AtomicFileTarget AtomicFileTarget::resolve(const QString& hostPath) {
    AtomicFileTarget target;
    if (hostPath.isEmpty() || hostPath.endsWith('/'))
        return target;
    QByteArray path = QFile::encodeName(QFileInfo(hostPath).absoluteFilePath());
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
