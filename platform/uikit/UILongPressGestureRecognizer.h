#pragma once

#include "uikit/UIGestureRecognizer.h"

#include <QPoint>
#include <QTimer>
#include <functional>

// A press held still for the minimum duration (0.5 s by default) begins the gesture; the
// action then hears Began, Changed while the pointer moves (anywhere: once recognised, the
// press is the gesture's until it ends), and Ended on release, or Cancelled when the view hides.
// Once the gesture has begun, a button's own click is cancelled: the release gives no clicked().
// A key that presses the view (Space, Return, Enter) held as long begins it too, and its release
// ends it; the keyboard's own repeats of the key are swallowed.
class UILongPressGestureRecognizer : public UIGestureRecognizer {
    Q_OBJECT
public:
    using Action = std::function<void(UILongPressGestureRecognizer*)>;

    explicit UILongPressGestureRecognizer(Action action);

    double minimumPressDuration() const { return _minimumPressDuration; }
    void setMinimumPressDuration(double seconds);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reset() override;

private:
    bool keyEvent(QEvent* event, bool began);
    void begin();
    void finish(UIGestureRecognizerState state);
    void report(UIGestureRecognizerState state);

    Action _action;
    double _minimumPressDuration = 0.5;
    QTimer _timer;
    QPoint _pressPosition;
    bool _pressed = false;
};
