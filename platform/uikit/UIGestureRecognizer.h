#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

enum UIGestureRecognizerState {
    UIGestureRecognizerStatePossible = 0,
    UIGestureRecognizerStateBegan = 1,
    UIGestureRecognizerStateChanged = 2,
    UIGestureRecognizerStateEnded = 3,
    UIGestureRecognizerStateCancelled = 4,
    UIGestureRecognizerStateFailed = 5,
    UIGestureRecognizerStateRecognized = UIGestureRecognizerStateEnded,
};

// Watches the mouse on one view and reports a gesture through its action. The view holds
// its recognizers.
class UIGestureRecognizer : public QObject {
    Q_OBJECT
public:
    UIGestureRecognizerState state() const { return _state; }
    QWidget* view() const { return _view; }
    void attachTo(QWidget* view);
    bool isEnabled() const { return _enabled; }
    void setEnabled(bool enabled);

protected:
    UIGestureRecognizer() = default;
    void setState(UIGestureRecognizerState state) { _state = state; }
    virtual void reset() { _state = UIGestureRecognizerStatePossible; }
    // How far the pointer may move and still make the same gesture.
    static constexpr int kAllowableMovement = 10;

private:
    UIGestureRecognizerState _state = UIGestureRecognizerStatePossible;
    QPointer<QWidget> _view;
    bool _enabled = true;
};
