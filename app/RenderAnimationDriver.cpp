#include "RenderAnimationDriver.h"

void RenderAnimationDriver::advanceFrame() {
    _elapsed += kFrameMilliseconds;
    advance();
}

qint64 RenderAnimationDriver::elapsed() const {
    return _elapsed;
}

void RenderAnimationDriver::start() {
    // Qt adds its own offset to this clock, which restarts whenever animations start again.
    _elapsed = 0;
    QAnimationDriver::start();
}
