#pragma once

#include <QAccessibleWidget>

class UIPressable;

// What assistive technologies see of a UIPressable view: a button with the view's text as its
// value (and as its description, which screen readers read after the name), and a press action
// that does what a tap does.
class UIPressableAccessible : public QAccessibleWidget {
public:
    explicit UIPressableAccessible(QWidget* widget);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    UIPressable* pressable() const;
};
