#include "ChildReaper.h"

#include <QCoreApplication>
#include <QPointer>
#include <cerrno>
#include <sys/wait.h>

ChildReaper* ChildReaper::instance() {
    // Lives as long as the application object, as the timer needs its event loop.
    static QPointer<ChildReaper> reaper;
    if (!reaper)
        reaper = new ChildReaper;
    return reaper;
}

ChildReaper::ChildReaper() : QObject(QCoreApplication::instance()) {
    _timer.setInterval(kPollMilliseconds);
    connect(&_timer, &QTimer::timeout, this, &ChildReaper::poll);
}

void ChildReaper::reap(pid_t pid) {
    if (pid <= 0)
        return;
    _pending.append(pid);
    emit childAdded(pid);
    if (!_timer.isActive())
        _timer.start();
}

void ChildReaper::poll() {
    for (qsizetype i = _pending.size() - 1; i >= 0; --i) {
        int status = 0;
        const pid_t done = ::waitpid(_pending.at(i), &status, WNOHANG);
        // Gone (reaped now, or by someone else: ECHILD) leaves the list; running stays.
        if (done == _pending.at(i) || (done < 0 && errno != EINTR))
            _pending.removeAt(i);
    }
    if (_pending.isEmpty())
        _timer.stop();
}
