#include "uikit/UITint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace {

const char* const kOwnTint = "_UITintColor";

// Watches every reparenting in the application: a widget that moves under another parent may
// inherit another tint, and its observers must hear of it.
class ReparentWatcher : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::ParentAboutToChange && type != QEvent::ParentChange)
            return false;
        if (!object->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(object);
        if (UITint::ownTintColor(widget).isValid())
            return false; // its own tint shields the whole subtree from the move
        if (type == QEvent::ParentAboutToChange) {
            _before.insert(widget, UITint::tintColor(widget));
        } else if (_before.contains(widget)) {
            const QColor before = _before.take(widget);
            if (before != UITint::tintColor(widget))
                UITint::notifySubtree(widget);
        }
        return false;
    }

private:
    QHash<QWidget*, QColor> _before;
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
    return value.isValid() ? value.value<QColor>() : QColor();
}

QColor UITint::tintColor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QColor own = ownTintColor(w);
        if (own.isValid())
            return own;
    }
    return systemBlue();
}

void UITint::setTintColor(QWidget* widget, const QColor& color) {
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
