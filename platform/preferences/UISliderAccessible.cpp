#include "preferences/UISliderAccessible.h"

#include "preferences/UISlider.h"

#include <cmath>

UISliderAccessible::UISliderAccessible(UISlider* control)
    : QAccessibleWidget(control, QAccessible::Slider) {}

UISlider* UISliderAccessible::control() const {
    return static_cast<UISlider*>(widget());
}

void* UISliderAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString UISliderAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return control()->valueText();
    return QAccessibleWidget::text(t);
}

QStringList UISliderAccessible::actionNames() const {
    QStringList names;
    if (control()->isEnabled())
        names << increaseAction() << decreaseAction();
    return names + QAccessibleWidget::actionNames();
}

void UISliderAccessible::doAction(const QString& actionName) {
    if (actionName == increaseAction())
        control()->step(1);
    else if (actionName == decreaseAction())
        control()->step(-1);
    else
        QAccessibleWidget::doAction(actionName);
}

QVariant UISliderAccessible::currentValue() const {
    return double(control()->value());
}

void UISliderAccessible::setCurrentValue(const QVariant& value) {
    // Only a finite number is a value; anything else an assistive technology sends changes
    // nothing rather than moving the slider to some bound.
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok && std::isfinite(number) && control()->isEnabled())
        control()->setValueAsUser(float(number));
}

QVariant UISliderAccessible::maximumValue() const {
    return double(control()->maximumValue());
}

QVariant UISliderAccessible::minimumValue() const {
    return double(control()->minimumValue());
}

QVariant UISliderAccessible::minimumStepSize() const {
    return double(control()->stepSize());
}
