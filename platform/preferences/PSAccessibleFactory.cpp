#include "preferences/PSAccessibleFactory.h"

#include "preferences/UISlider.h"
#include "preferences/UISliderAccessible.h"
#include "preferences/UISwitch.h"
#include "preferences/UISwitchAccessible.h"
#include "uikit/UIPressable.h"
#include "uikit/UIPressableAccessible.h"

#include <QAccessible>
#include <QCoreApplication>

namespace {
void installAtStartup() {
    PSAccessibleFactory::install();
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(installAtStartup)

QAccessibleInterface* PSAccessibleFactory::create(const QString& className, QObject* object) {
    // Asked once per class of the object's chain, most derived first: only that first call
    // answers, so the answer depends on the object, not on which of its classes is asked.
    if (!object || !object->isWidgetType() ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (auto* control = qobject_cast<UISwitch*>(widget))
        return new UISwitchAccessible(control);
    if (auto* control = qobject_cast<UISlider*>(widget))
        return new UISliderAccessible(control);
    // A pressable view is a control only while it takes the keyboard focus.
    if (dynamic_cast<UIPressable*>(widget) && (widget->focusPolicy() & Qt::TabFocus))
        return new UIPressableAccessible(widget);
    return nullptr;
}

void PSAccessibleFactory::install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&PSAccessibleFactory::create);
}
