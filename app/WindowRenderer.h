#pragma once

#include <QString>
#include <functional>

class QWidget;
class RenderAnimationDriver;

// Renders a window to a PNG as soon as nothing moves: no event is pending and no animation
// runs. Animations are played frame by frame without waiting (RenderAnimationDriver).
class WindowRenderer {
public:
    // Calls `prepare()` once the window has settled, lets it settle again, renders, then calls
    // `done(ok, error)`.
    static void renderWhenSettled(QWidget* window, const QString& path,
                                  std::function<void()> prepare,
                                  std::function<void(bool, QString)> done);

    // A bound for safety, for something that never stops (an endless animation, a timer that
    // always fires at once): the render then shows the window as it is.
    static constexpr int kSettleBoundMilliseconds = 5000;

private:
    static bool renderNow(QWidget* window, const QString& path, QString* error);
    static bool settle(RenderAnimationDriver* driver);
};
