#pragma once

#include <QString>
#include <functional>

class QWidget;

// Renders a window to a PNG once pending layout, cell creation and row animations have run;
// what is still moving is shown where it comes to rest.
class WindowRenderer {
public:
    // Calls `prepare()` once the window has settled, renders, then calls `done(ok, error)`.
    static void renderWhenSettled(QWidget* window, const QString& path,
                                  std::function<void()> prepare,
                                  std::function<void(bool, QString)> done);
    static bool renderNow(QWidget* window, const QString& path, QString* error);
    static void finishAnimations(QWidget* window);
};
