#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class UISlider;

// What assistive technologies see of a slider: a slider with its value, bounds and the value's
// text as the owner shows it; increase and decrease make one step as the keyboard does, and a
// value set through the value interface is a change made by the person (stored once).
class UISliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit UISliderAccessible(UISlider* control);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    UISlider* control() const;
};
