#include "uikit/UITint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

const char* const kOwnTint = "_UITintColor";

// Watches every reparenting in the application: a widget that moves under another parent may
// inherit another tint, and its observers must hear of it. The old parent is told first
// (ChildRemoved, while the widget still hangs under it), then the widget (ParentChange); the
// tint seen at the first is compared with the tint at the second.
class ReparentWatcher : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::ChildRemoved) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child && child->isWidgetType()) {
                _pending = child;
                _pendingTint = UITint::tintColor(static_cast<QWidget*>(child));
            }
        } else if (type == QEvent::ParentChange && object->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(object);
            // A widget that had no parent had the default tint (or its own).
            const QColor before = object == _pending ? _pendingTint : UITint::systemBlue();
            _pending = nullptr;
            if (!UITint::ownTintColor(widget).isValid() && before != UITint::tintColor(widget))
                UITint::notifySubtree(widget);
        }
        return false;
    }

private:
    const QObject* _pending = nullptr; // identity only: it may be going away
    QColor _pendingTint;
};

QPointer<ReparentWatcher>& watcher() {
    static QPointer<ReparentWatcher> instance;
    return instance;
}

void notifyIfObserver(QWidget* widget) {
    if (auto* observer = dynamic_cast<UITintObserver*>(widget))
        observer->tintColorDidChange();
}

} // namespace

namespace {
void installWatcherAtStartup() {
    UITint::installReparentWatcher();
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(installWatcherAtStartup)

void UITint::installReparentWatcher() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || watcher())
        return;
    watcher() = new ReparentWatcher;
    watcher()->setParent(app);
    app->installEventFilter(watcher());
}

QColor UITint::ownTintColor(const QWidget* widget) {
    if (!widget)
        return {};
    const QVariant value = widget->property(kOwnTint);
    return value.isValid() ? value.value<UIColor>().resolvedColorForView(widget) : QColor();
}

QColor UITint::tintColor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant own = w->property(kOwnTint);
        if (own.isValid())
            return own.value<UIColor>().resolvedColorForView(widget);
    }
    return UIColor::systemBlueColor().resolvedColorForView(widget);
}

void UITint::setTintColor(QWidget* widget, const UIColor& color) {
    if (!widget)
        return;
    installReparentWatcher();
    const QColor before = tintColor(widget);
    widget->setProperty(kOwnTint, color.isValid() ? QVariant::fromValue(color) : QVariant());
    if (tintColor(widget) != before)
        notifySubtree(widget);
}

void UITint::notifySubtree(QWidget* root) {
    if (!root)
        return;
    // Observers may add or remove children while reacting, so the children are taken first
    // and guarded.
    QList<QPointer<QWidget>> children;
    for (QObject* child : root->children()) {
        if (child->isWidgetType())
            children.append(static_cast<QWidget*>(child));
    }
    notifyIfObserver(root);
    for (const QPointer<QWidget>& child : children) {
        if (child && !ownTintColor(child).isValid())
            notifySubtree(child);
    }
}
