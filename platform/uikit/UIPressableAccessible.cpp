#include "uikit/UIPressableAccessible.h"

#include "uikit/UIPressable.h"

#include <QWidget>

UIPressableAccessible::UIPressableAccessible(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::Button) {}

UIPressable* UIPressableAccessible::pressable() const {
    return dynamic_cast<UIPressable*>(widget());
}

QString UIPressableAccessible::text(QAccessible::Text t) const {
    UIPressable* view = pressable();
    if (view && (t == QAccessible::Value || t == QAccessible::Description))
        return view->pressableValue();
    return QAccessibleWidget::text(t);
}

QStringList UIPressableAccessible::actionNames() const {
    QStringList names;
    if (widget()->isEnabled())
        names << pressAction();
    return names + QAccessibleWidget::actionNames();
}

void UIPressableAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction()) {
        if (UIPressable* view = pressable(); view && widget()->isEnabled())
            view->press();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}
