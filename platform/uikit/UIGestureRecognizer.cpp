#include "uikit/UIGestureRecognizer.h"

void UIGestureRecognizer::attachTo(QWidget* view) {
    if (_view)
        _view->removeEventFilter(this);
    _view = view;
    if (!view)
        return;
    if (!parent())
        setParent(view);
    view->installEventFilter(this);
}

void UIGestureRecognizer::setEnabled(bool enabled) {
    _enabled = enabled;
    if (!enabled)
        reset();
}
