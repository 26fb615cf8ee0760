#pragma once

#include <functional>

class QWidget;

// A cross-dissolve transition of one view: the change is applied at once, and for the duration
// a snapshot of the view as it was fades out above it while the view itself fades in. A new
// transition of the same view first ends the running one.
class QEVCrossDissolve {
public:
    static void transition(QWidget* view, int durationMs, const std::function<void()>& change);
    // Ends a running transition of `view` at once; true if one was running.
    static bool finish(QWidget* view);
    static bool isRunning(QWidget* view);
};
