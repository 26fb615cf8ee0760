#pragma once

#include <cerrno>
#include <cstddef>
#include <sys/types.h>
#include <sys/wait.h>

// The byte plumbing the writer child and the test that starts it share: both ends move whole
// messages through a socket or pipe that may take or give fewer bytes per call, and both reap
// children; a signal arriving meanwhile must not cut either short.
namespace ByteTransfer {

// Moves all `size` bytes through `step(bytes, size)`, a read or write that may move fewer and
// may fail with EINTR (then it is tried again). False once `step` moves nothing or fails.
template <typename Byte, typename Step> bool all(Byte* bytes, size_t size, Step step) {
    while (size > 0) {
        const ssize_t moved = step(bytes, size);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            return false;
        bytes += moved;
        size -= size_t(moved);
    }
    return true;
}

// `call()` again for as long as it fails with EINTR.
template <typename Call> auto retried(Call call) {
    auto result = call();
    while (result < 0 && errno == EINTR)
        result = call();
    return result;
}

// Waits for `pid` to end and reaps it; its wait status, or -1 when it cannot be reaped.
inline int reap(pid_t pid) {
    int status = 0;
    return retried([&] { return ::waitpid(pid, &status, 0); }) < 0 ? -1 : status;
}

} // namespace ByteTransfer
