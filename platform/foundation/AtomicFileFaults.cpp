#include "AtomicFileFaults.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openTempFile(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
int openDirectory(const char* path, int flags) {
    return ::open(path, flags);
}
int renameFile(const char* from, const char* to, unsigned flags) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}

AtomicFileOps& active() {
    static AtomicFileOps ops = AtomicFileFaults::systemOps();
    return ops;
}

} // namespace

AtomicFileOps AtomicFileFaults::systemOps() {
    return AtomicFileOps{openTempFile, ::write,       ::fchmod, ::fsync, ::close,
                         renameFile,   openDirectory, ::fsync,  ::fchown};
}

const AtomicFileOps& AtomicFileFaults::current() {
    return active();
}

void AtomicFileFaults::install(const AtomicFileOps& ops) {
    active() = ops;
}

void AtomicFileFaults::reset() {
    active() = systemOps();
}
