#include "uikit/UIAlertController.h"

#include "uikit/UIAlertButton.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIDimmingView.h"
#include "uikit/UIPresentationController.h"
#include "uikit/UITextField.h"

#include <QKeyEvent>
#include <QTimer>

UIAlertController* UIAlertController::alertControllerWithTitle(const QString& title,
                                                               const QString& message,
                                                               UIAlertControllerStyle style) {
    return new UIAlertController(title, message, style);
}

UIAlertController::UIAlertController(const QString& title, const QString& message,
                                     UIAlertControllerStyle style, QObject* parent)
    : UIViewController(parent), _alertTitle(title), _message(message), _style(style) {}

void UIAlertController::loadView() {
    _alertView = new UIAlertView;
    _alertView->setTexts(_alertTitle, _message);
    _alertView->installEventFilter(this);
    for (const QPointer<UITextField>& field : _textFields) {
        if (field)
            _alertView->addTextField(field);
    }
    for (UIAlertAction* action : _actions)
        addButtonFor(action);
    setView(_alertView);
}

void UIAlertController::addTextFieldWithConfigurationHandler(
    std::function<void(UITextField*)> configuration) {
    auto* field = new UITextField;
    _textFields.append(field);
    if (configuration)
        configuration(field);
    if (_alertView)
        _alertView->addTextField(field);
    else
        field->setParent(nullptr);
    // Fields wait, unparented, for the view; they go with the controller if it never loads.
    connect(this, &QObject::destroyed, field, [guard = QPointer<UITextField>(field)] {
        if (guard && !guard->parentWidget())
            delete guard.data();
    });
}

QList<UITextField*> UIAlertController::textFields() const {
    QList<UITextField*> fields;
    for (const QPointer<UITextField>& field : _textFields) {
        if (field)
            fields.append(field);
    }
    return fields;
}

void UIAlertController::addAction(UIAlertAction* action) {
    if (!action || _actions.contains(action))
        return;
    if (!action->parent())
        action->setParent(this);
    _actions.append(action);
    if (_alertView)
        addButtonFor(action);
}

void UIAlertController::addButtonFor(UIAlertAction* action) {
    auto* button = new UIAlertButton(action);
    connect(button, &QAbstractButton::clicked, this, [this, action] { triggerAction(action); });
    _alertView->addButton(button);
}

void UIAlertController::triggerAction(UIAlertAction* action) {
    if (!action || !_actions.contains(action) || !action->isEnabled())
        return;
    QPointer<UIAlertController> self(this);
    dismissViewControllerAnimated(true);
    action->runHandler();
    if (self && _adoptedByPresenter && !presentingViewController())
        releaseOnceGone();
}

void UIAlertController::releaseOnceGone() {
    // The layer is still fading out, and goes with the alert's presentation: the alert waits
    // for it.
    UIPresentationController* presentation = presentationController();
    UIDimmingView* layer = presentation ? presentation->containerView() : nullptr;
    if (layer)
        connect(layer, &QObject::destroyed, this, &QObject::deleteLater);
    else
        deleteLater();
}

UIPresentationController*
UIAlertController::makePresentationController(UIViewController* presenting) {
    if (!parent()) { // nobody holds the alert: it lives while its presenter does
        setParent(presenting);
        _adoptedByPresenter = true;
    }
    return new UIPresentationController(this, presenting,
                                        UIPresentationController::Layout::Centered);
}

void UIAlertController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    const QList<UITextField*> fields = textFields();
    if (!fields.isEmpty())
        fields.first()->setFocus(Qt::OtherFocusReason);
}

bool UIAlertController::eventFilter(QObject* watched, QEvent* event) {
    // On a desktop the keyboard stands in for a tap: Escape is the cancel action, Return the
    // only other action, or the cancel action of an alert that has nothing else. The event's
    // type is asked first: while the view is being destroyed (its window closed with the alert
    // up) it is no alert view any more, and its pointer may not be read as one.
    if (event->type() == QEvent::KeyPress && watched == _alertView) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        QList<UIAlertAction*> cancel, others;
        for (UIAlertAction* action : _actions)
            (action->style() == UIAlertActionStyleCancel ? cancel : others).append(action);
        if (key == Qt::Key_Escape && !cancel.isEmpty()) {
            triggerAction(cancel.first());
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (others.size() == 1)
                triggerAction(others.first());
            else if (others.isEmpty() && !cancel.isEmpty())
                triggerAction(cancel.first());
            return true;
        }
    }
    return UIViewController::eventFilter(watched, event);
}
