#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class UIScene;
class UIWindow;

// The running application as the device sees it: its windows and scenes, the key window,
// and the moves between foreground and background. When the last foreground window is
// minimised or hidden, or the whole application is suspended or hidden, it posts
// UIApplicationDidEnterBackgroundNotification (and UIApplicationWillEnterForegroundNotification
// on the way back) through the default NSNotificationCenter.
class UIApplication : public QObject {
    Q_OBJECT
public:
    static UIApplication* sharedApplication();
    static UIApplication* existingApplication(); // nullptr once the application is gone

    UIWindow* keyWindow() const;
    QList<UIWindow*> windows() const;
    QList<UIScene*> connectedScenes() const;

    // Called by the windows.
    void registerWindow(UIWindow* window);
    void unregisterWindow(UIWindow* window);
    void setKeyWindowHint(UIWindow* window) { _keyHint = window; }
    void windowStateChanged();

private:
    UIApplication();
    bool anyWindowInForeground() const;

    QList<QPointer<UIWindow>> _windows;
    QPointer<UIWindow> _keyHint;
    bool _foreground = false;
    bool _launched = false;
};

inline const QString UIApplicationWillEnterForegroundNotification =
    "UIApplicationWillEnterForegroundNotification";
