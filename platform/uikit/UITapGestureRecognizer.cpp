#include "uikit/UITapGestureRecognizer.h"

#include <QMouseEvent>

UITapGestureRecognizer::UITapGestureRecognizer(Action action) : _action(std::move(action)) {}

void UITapGestureRecognizer::reset() {
    _taps = 0;
    _pressed = false;
    UIGestureRecognizer::reset();
}

bool UITapGestureRecognizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view() || !isEnabled())
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint position = mouse->position().toPoint();
    if (type != QEvent::MouseButtonRelease) {
        if (_taps > 0 && _sinceLastTap.elapsed() > kMultiTapIntervalMs)
            _taps = 0; // too slow to continue the series
        _pressed = true;
        _pressPosition = position;
        return false;
    }
    if (!_pressed)
        return false;
    _pressed = false;
    const bool still = (position - _pressPosition).manhattanLength() <= kAllowableMovement;
    if (!still || !view()->rect().contains(position)) {
        reset();
        return false;
    }
    ++_taps;
    _sinceLastTap.start();
    if (_taps >= _tapsRequired) {
        setState(UIGestureRecognizerStateEnded);
        if (_action)
            _action(this);
        reset();
    }
    return false;
}
