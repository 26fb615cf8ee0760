#include "uikit/UIKeyboardFocus.h"

#include "uikit/UIFocusRing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

namespace {

// Turns Enter and Return on a button into Space, which a button already handles as a press
// that clicks on release (and that ignores the keyboard's own repeats).
class EnterPresses : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        QKeyEvent space(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                        key->isAutoRepeat());
        QCoreApplication::sendEvent(watched, &space);
        return true;
    }
};

EnterPresses* enterPresses() {
    static QPointer<QObject> instance;
    if (!instance) {
        instance = new EnterPresses;
        instance->setParent(QCoreApplication::instance());
    }
    return static_cast<EnterPresses*>(instance.data());
}

void installAtStartup() {
    UIKeyboardFocus::instance();
}

} // namespace
Q_COREAPP_STARTUP_FUNCTION(installAtStartup)

UIKeyboardFocus* UIKeyboardFocus::instance() {
    static QPointer<UIKeyboardFocus> watcher;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!watcher && app) {
        watcher = new UIKeyboardFocus;
        watcher->setParent(app);
        app->installEventFilter(watcher);
        connect(app, &QApplication::focusChanged, watcher.data(), &UIKeyboardFocus::followFocus);
    }
    return watcher;
}

void UIKeyboardFocus::pressOnEnter(QAbstractButton* button) {
    if (button)
        button->installEventFilter(enterPresses());
}

bool UIKeyboardFocus::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        setKeyboardInUse(true);
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab))
            emit focusWalkWillBegin();
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
        setKeyboardInUse(false);
        break;
    default:
        break;
    }
    return false;
}

void UIKeyboardFocus::setKeyboardInUse(bool inUse) {
    if (inUse == _keyboardInUse)
        return;
    _keyboardInUse = inUse;
    followFocus();
}

void UIKeyboardFocus::followFocus() {
    QWidget* focus = _keyboardInUse ? QApplication::focusWidget() : nullptr;
    if (focus && (!(focus->focusPolicy() & Qt::TabFocus) || !UIFocusRing::isRingable(focus)))
        focus = nullptr;
    if (_ring && _ring->control() == focus)
        return;
    delete _ring.data();
    if (focus)
        _ring = new UIFocusRing(focus);
}
