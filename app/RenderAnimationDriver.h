#pragma once

#include <QAnimationDriver>

// Drives Qt's animations by frames instead of by the wall clock, for a render: each
// advanceFrame() moves every running animation on by one frame at once, so a render waits for
// no animation in real time and still shows where each one ends. isRunning() tells whether any
// animation is going.
class RenderAnimationDriver : public QAnimationDriver {
    Q_OBJECT
public:
    using QAnimationDriver::QAnimationDriver;

    static constexpr qint64 kFrameMilliseconds = 16;

    void advanceFrame();
    qint64 elapsed() const override;

protected:
    void start() override;

private:
    qint64 _elapsed = 0;
};
