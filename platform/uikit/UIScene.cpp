#include "uikit/UIScene.h"

#include "uikit/UIWindow.h"

#include <QGuiApplication>

UIScene::UIScene(UIWindow* window) : QObject(window), _window(window) {}

int UIScene::activationState() const {
    if (!_window)
        return UISceneActivationStateUnattached;
    const Qt::ApplicationState app = QGuiApplication::applicationState();
    const bool appAway = app == Qt::ApplicationSuspended || app == Qt::ApplicationHidden;
    if (appAway || !_window->isVisible() || _window->isMinimized())
        return UISceneActivationStateBackground;
    return UISceneActivationStateForegroundActive;
}

QList<UIWindow*> UIScene::windows() const {
    return _window ? QList<UIWindow*>{_window.data()} : QList<UIWindow*>{};
}
