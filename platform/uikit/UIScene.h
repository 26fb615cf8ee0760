#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class UIWindow;

enum UISceneActivationState {
    UISceneActivationStateUnattached = -1,
    UISceneActivationStateForegroundActive = 0,
    UISceneActivationStateForegroundInactive = 1,
    UISceneActivationStateBackground = 2,
};

// A scene: the windows of one place on the screen and whether it is in the foreground. On a
// desktop a window that is shown and not minimised is in the foreground (even while another
// program has the keyboard), one that is hidden or minimised is in the background.
class UIScene : public QObject {
    Q_OBJECT
public:
    explicit UIScene(UIWindow* window);
    int activationState() const;
    QList<UIWindow*> windows() const;

private:
    QPointer<UIWindow> _window;
};
