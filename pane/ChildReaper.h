#pragma once

#include <QList>
#include <QObject>
#include <QTimer>
#include <sys/types.h>

// Collects the exit status of processes that were started and not waited for, so none stays a
// zombie. A short timer polls waitpid(pid, WNOHANG) for exactly those processes; no SIGCHLD
// handler is installed, so other code that waits for its own children is not disturbed.
class ChildReaper : public QObject {
    Q_OBJECT
public:
    static ChildReaper* instance();

    void reap(pid_t pid);
    int pendingCount() const { return int(_pending.size()); }

    static constexpr int kPollMilliseconds = 100;

signals:
    // A child was taken in, right after it was started.
    void childAdded(pid_t pid);

private:
    ChildReaper();
    void poll();

    QList<pid_t> _pending;
    QTimer _timer;
};
