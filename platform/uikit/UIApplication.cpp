#include "uikit/UIApplication.h"

#include "foundation/NSNotificationCenter.h"
#include "uikit/UIScene.h"
#include "uikit/UIWindow.h"

#include <QApplication>

namespace {
QPointer<UIApplication>& instance() {
    static QPointer<UIApplication> application;
    return application;
}
} // namespace

UIApplication::UIApplication() : QObject(QCoreApplication::instance()) {
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::applicationStateChanged, this,
                &UIApplication::windowStateChanged);
    }
}

UIApplication* UIApplication::sharedApplication() {
    if (!instance())
        instance() = new UIApplication;
    return instance();
}

UIApplication* UIApplication::existingApplication() {
    return instance();
}

void UIApplication::registerWindow(UIWindow* window) {
    if (window && !_windows.contains(window))
        _windows.append(window);
}

void UIApplication::unregisterWindow(UIWindow* window) {
    _windows.removeAll(window);
    _windows.removeAll(nullptr);
    windowStateChanged();
}

QList<UIWindow*> UIApplication::windows() const {
    QList<UIWindow*> list;
    for (const QPointer<UIWindow>& window : _windows) {
        if (window)
            list.append(window);
    }
    return list;
}

UIWindow* UIApplication::keyWindow() const {
    const QList<UIWindow*> list = windows();
    if (auto* active = qobject_cast<UIWindow*>(QApplication::activeWindow());
        active && list.contains(active))
        return active;
    if (_keyHint && _keyHint->isVisible())
        return _keyHint;
    UIWindow* first = nullptr; // the first shown of those still on screen
    for (UIWindow* window : list) {
        if (window->isVisible() && (!first || window->shownAt() < first->shownAt()))
            first = window;
    }
    return first;
}

QList<UIScene*> UIApplication::connectedScenes() const {
    QList<UIScene*> scenes;
    for (UIWindow* window : windows())
        scenes.append(window->windowScene());
    return scenes;
}

bool UIApplication::anyWindowInForeground() const {
    for (UIScene* scene : connectedScenes()) {
        if (scene->activationState() == UISceneActivationStateForegroundActive)
            return true;
    }
    return false;
}

void UIApplication::windowStateChanged() {
    const bool foreground = anyWindowInForeground();
    if (foreground == _foreground)
        return;
    _foreground = foreground;
    if (foreground && !_launched) {
        _launched = true; // the first arrival is the launch, not a return
        return;
    }
    NSNotificationCenter::defaultCenter()->postNotificationName(
        foreground ? UIApplicationWillEnterForegroundNotification
                   : UIApplicationDidEnterBackgroundNotification);
}
