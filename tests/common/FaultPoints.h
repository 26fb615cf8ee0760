#pragma once

#include "common/TestName.h"

#include "foundation/AtomicFileFaults.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

// One point where an atomic write can fail: a step, named as the error message names it, and
// the error the system gives there.
struct FaultPoint {
    const char* step;
    int error;
    // The new file is already in place when the step fails: a rename cannot be taken back.
    bool afterSwap;
    // The step runs only when a file is replaced: its group and mode are carried over.
    bool replacesOnly;
};

// Every step of the write, each with one of the errors a full, failing or forbidding disk gives.
inline const std::vector<FaultPoint>& faultPoints() {
    static const std::vector<FaultPoint> points = {
        {"create temporary file", EACCES, false, false},
        {"write", ENOSPC, false, false},
        {"fchown", EIO, false, true},
        {"fchmod", EACCES, false, true},
        {"fsync", EIO, false, false},
        {"rename", ENOSPC, false, false},
        // The temporary file stays open until it is in place, so its lock keeps cleaners off.
        {"close", EIO, true, false},
        {"open directory", EACCES, true, false},
        {"fsync directory", EIO, true, false},
    };
    return points;
}

inline void PrintTo(const FaultPoint& point, std::ostream* out) {
    *out << point.step << " " << strerrorname_np(point.error);
}
inline std::string faultPointName(const testing::TestParamInfo<FaultPoint>& info) {
    return testName(std::string(info.param.step) + "_" + strerrorname_np(info.param.error));
}

// The system's operations with one step failing every time it runs, for as long as the
// injection lives; hits() says how often the step ran.
class FaultInjection {
public:
    explicit FaultInjection(const FaultPoint& point) {
        error() = point.error;
        hits() = 0;
        AtomicFileOps ops = AtomicFileFaults::systemOps();
        const std::string_view step = point.step;
        if (step == "create temporary file")
            ops.openTemp = failing<int>;
        else if (step == "write")
            ops.write = failing<ssize_t>;
        else if (step == "fchown")
            ops.fchown = failing<int>;
        else if (step == "fchmod")
            ops.fchmod = failing<int>;
        else if (step == "fsync")
            ops.fsync = failing<int>;
        else if (step == "close") // the descriptor is released even when close reports an error
            ops.close = [](int fd) { return ::close(fd), failing<int>(); };
        else if (step == "rename")
            ops.rename = failing<int>;
        else if (step == "open directory")
            ops.openDirectory = failing<int>;
        else if (step == "fsync directory")
            ops.fsyncDirectory = failing<int>;
        else
            ADD_FAILURE() << "unknown step " << step;
        AtomicFileFaults::install(ops);
    }
    ~FaultInjection() { AtomicFileFaults::reset(); }
    FaultInjection(const FaultInjection&) = delete;
    FaultInjection& operator=(const FaultInjection&) = delete;

    static int& hits() {
        static int count = 0;
        return count;
    }

private:
    static int& error() {
        static int value = 0;
        return value;
    }
    // Any operation of the seam, failing; its parameter types are deduced where it is put.
    template <typename Result, typename... Args> static Result failing(Args...) {
        ++hits();
        errno = error();
        return Result(-1);
    }
};
