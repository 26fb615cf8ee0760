#include "uikit/UILongPressGestureRecognizer.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
// The keys that press a focused button.
bool isPressKey(const QEvent* event) {
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}
} // namespace

UILongPressGestureRecognizer::UILongPressGestureRecognizer(Action action)
    : _action(std::move(action)) {
    _timer.setSingleShot(true);
    _timer.setInterval(qRound(_minimumPressDuration * 1000));
    connect(&_timer, &QTimer::timeout, this, &UILongPressGestureRecognizer::begin);
}

void UILongPressGestureRecognizer::setMinimumPressDuration(double seconds) {
    _minimumPressDuration = seconds > 0 ? seconds : 0;
    _timer.setInterval(qRound(_minimumPressDuration * 1000));
}

void UILongPressGestureRecognizer::reset() {
    _timer.stop();
    _pressed = false;
    UIGestureRecognizer::reset();
}

void UILongPressGestureRecognizer::report(UIGestureRecognizerState state) {
    setState(state);
    if (_action)
        _action(this);
}

void UILongPressGestureRecognizer::begin() {
    if (!_pressed || !isEnabled())
        return;
    // The touch now belongs to the gesture: the button under it lets go without a click.
    if (auto* button = qobject_cast<QAbstractButton*>(view()))
        button->setDown(false);
    report(UIGestureRecognizerStateBegan);
}

void UILongPressGestureRecognizer::finish(UIGestureRecognizerState state) {
    const bool began = this->state() == UIGestureRecognizerStateBegan ||
                       this->state() == UIGestureRecognizerStateChanged;
    _timer.stop();
    _pressed = false;
    if (began)
        report(state);
    UIGestureRecognizer::reset();
}

bool UILongPressGestureRecognizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view() || !isEnabled())
        return false;
    const bool began =
        state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            reset();
            _pressed = true;
            _pressPosition = mouse->position().toPoint();
            _timer.start();
        }
        return false;
    }
    case QEvent::MouseMove: {
        if (!_pressed)
            return false;
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (!began) {
            if ((position - _pressPosition).manhattanLength() > kAllowableMovement)
                reset(); // moved too far before the duration: no long press
            return false;
        }
        // A recognised press follows the pointer wherever it goes until it is let go.
        report(UIGestureRecognizerStateChanged);
        return true; // keeps a button from taking the press back
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        if (began)
            finish(UIGestureRecognizerStateEnded);
        else
            reset();
        return false; // the button is no longer down, so the release clicks nothing
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return keyEvent(event, began);
    case QEvent::FocusOut:
        // The key's release goes to wherever the focus went: the hold ends here.
        if (began)
            finish(UIGestureRecognizerStateCancelled);
        else if (_pressed)
            reset();
        return false;
    case QEvent::Hide:
    case QEvent::Leave:
        if (began && event->type() == QEvent::Hide)
            finish(UIGestureRecognizerStateCancelled);
        return false;
    default:
        return false;
    }
}

bool UILongPressGestureRecognizer::keyEvent(QEvent* event, bool began) {
    if (!isPressKey(event))
        return false;
    // The hold is timed here, not by the keyboard's own repeats, which the button never sees.
    if (static_cast<QKeyEvent*>(event)->isAutoRepeat())
        return true;
    if (event->type() == QEvent::KeyPress) {
        reset();
        _pressed = true;
        _timer.start();
    } else if (began) {
        finish(UIGestureRecognizerStateEnded);
    } else {
        reset();
    }
    return false;
}
