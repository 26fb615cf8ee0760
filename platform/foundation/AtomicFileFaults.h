#pragma once

#include <sys/types.h>

// The system calls AtomicFile::replace makes, one per step, so tests can make any step fail
// (ENOSPC, EIO, EACCES, ...) and check that the old file survives and nothing is left behind.
struct AtomicFileOps {
    int (*openTemp)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* bytes, size_t count);
    int (*fchmod)(int fd, mode_t mode);
    int (*fsync)(int fd);
    int (*close)(int fd);
    // renameat2 on the working directory: flags 0, RENAME_NOREPLACE or RENAME_EXCHANGE.
    int (*rename)(const char* from, const char* to, unsigned flags);
    int (*openDirectory)(const char* path, int flags);
    int (*fsyncDirectory)(int fd);
    int (*fchown)(int fd, uid_t owner, gid_t group);
};

// Test-only seam: the operations in force. Not meant for concurrent use with writes.
class AtomicFileFaults {
public:
    static AtomicFileOps systemOps();
    static const AtomicFileOps& current();
    static void install(const AtomicFileOps& ops);
    static void reset();
};
