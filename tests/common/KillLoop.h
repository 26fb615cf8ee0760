#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

// The stress driver for durable writes: in each round a writer process starts, is killed with
// SIGKILL at a seeded random moment, and the file it writes is judged. Its rows are writer
// kinds (forked from the test, freshly started, racing another writer), each with its rounds
// and its range of kill delays.
struct WriterKind {
    std::string name;
    // Starts the round's writer; its pid, or -1 when it did not start.
    std::function<pid_t(int round)> start;
    // The writer's wait status once it has ended; nothing when it could not be reaped.
    std::function<std::optional<int>(pid_t pid)> reap;
    int rounds;
    int maxDelayMicroseconds;
};

// What the file holds after a kill: what it held before the round, what one of the round's
// whole writes left, or anything else (a torn or mixed file: a failure).
enum class FileState { Old, New, Torn };

struct KillLoopCounts {
    int old = 0;
    int fresh = 0;
    int leftTemporaryFile = 0; // rounds whose writer died holding its temporary file
};

// Runs the rounds of `writer` over the file at `path`. After each kill, `judge` says what the
// file holds (and may take it as the next round's "before"); beside the file there may lie at
// most one temporary file of it (the killed writer's) and nothing else. Failures go through
// GoogleTest; the loop stops at the first torn file.
KillLoopCounts runKillLoop(const WriterKind& writer, const QString& path,
                           const std::function<FileState(int round)>& judge,
                           unsigned seed = 20240229);
