#include "uikit/UIPressable.h"

#include <QKeyEvent>

bool UIPressable::isPressKey(const QKeyEvent* event) {
    if (!event || event->isAutoRepeat() || (event->modifiers() & ~Qt::KeypadModifier))
        return false;
    const int key = event->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}
