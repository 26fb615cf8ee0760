#include "preferences/UISwitchAccessible.h"

#include "preferences/UISwitch.h"

UISwitchAccessible::UISwitchAccessible(UISwitch* control)
    : QAccessibleWidget(control, QAccessible::CheckBox) {}

UISwitch* UISwitchAccessible::control() const {
    return static_cast<UISwitch*>(widget());
}

QAccessible::State UISwitchAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = control()->isOn();
    return state;
}

QStringList UISwitchAccessible::actionNames() const {
    QStringList names;
    if (control()->isEnabled())
        names << toggleAction();
    return names + QAccessibleWidget::actionNames();
}

void UISwitchAccessible::doAction(const QString& actionName) {
    if (actionName == toggleAction() || actionName == pressAction()) {
        control()->click(); // nothing when disabled
        return;
    }
    QAccessibleWidget::doAction(actionName);
}
