#pragma once

#include "uikit/UIAlertAction.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIViewController.h"

#include <QList>
#include <QPointer>
#include <functional>

class UITextField;

enum UIAlertControllerStyle {
    UIAlertControllerStyleActionSheet = 0,
    UIAlertControllerStyleAlert = 1,
};

// An alert: title, message, text fields and actions, shown as a card in the middle of the
// dimmed window. A tap on an action's button closes the alert, then runs the action's
// handler. An alert that nobody holds belongs to its presenter while shown and is released
// once it has closed.
class UIAlertController : public UIViewController {
    Q_OBJECT
public:
    static UIAlertController* alertControllerWithTitle(const QString& title, const QString& message,
                                                       UIAlertControllerStyle style);
    UIAlertController(const QString& title, const QString& message, UIAlertControllerStyle style,
                      QObject* parent = nullptr);

    void addTextFieldWithConfigurationHandler(std::function<void(UITextField*)> configuration);
    void addAction(UIAlertAction* action);
    QList<UIAlertAction*> actions() const { return _actions; }
    QList<UITextField*> textFields() const;
    QString title() const { return _alertTitle; }
    QString message() const { return _message; }
    UIAlertControllerStyle preferredStyle() const { return _style; }

    // What a tap on the action's button does: close the alert, then run the handler.
    void triggerAction(UIAlertAction* action);
    UIAlertView* alertView() const { return _alertView; }

protected:
    void loadView() override;
    void viewDidAppear(bool animated) override;
    UIPresentationController* makePresentationController(UIViewController* presenting) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addButtonFor(UIAlertAction* action);
    void releaseOnceGone();

    QString _alertTitle;
    QString _message;
    UIAlertControllerStyle _style;
    QList<UIAlertAction*> _actions;
    QList<QPointer<UITextField>> _textFields;
    QPointer<UIAlertView> _alertView;
    bool _adoptedByPresenter = false;
};
