#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QWidget;
class UIFocusRing;

// How the person works the application: a key press means the keyboard is in use, a pointer
// press that it is not. While the keyboard is in use the control that has the focus is ringed
// (UIFocusRing); a pointer user sees no ring, as on desktops. Tab and Shift+Tab are announced
// before they move the focus, so a view that makes its controls only as they come into view
// can make the ones the walk will reach.
class UIKeyboardFocus : public QObject {
    Q_OBJECT
public:
    // The application's one watcher; made with the application object.
    static UIKeyboardFocus* instance();

    // Enter and Return press `button` as Space does: down while the key is held, a click when
    // it is let go. Buttons of the platform take the keyboard this way; a dialog's default
    // button keeps its own Enter.
    static void pressOnEnter(QAbstractButton* button);

signals:
    void focusWalkWillBegin();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UIKeyboardFocus() = default;
    void setKeyboardInUse(bool inUse);
    void followFocus();

    bool _keyboardInUse = false;
    QPointer<UIFocusRing> _ring;
};
