#pragma once

#include <QAccessibleWidget>

class UISwitch;

// What assistive technologies see of a switch: a check box with its state, whose toggle does
// what a click does (stored and announced once), not a bare change of state from code.
class UISwitchAccessible : public QAccessibleWidget {
public:
    explicit UISwitchAccessible(UISwitch* control);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    UISwitch* control() const;
};
