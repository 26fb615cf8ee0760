#include "uikit/UITraitCollection.h"

#include "uikit/UIColor.h"
#include "uikit/UITint.h"

#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <optional>

namespace {
const char* const kElevated = "_UIUserInterfaceLevelElevated";

UIUserInterfaceStyle& applicationStyle() {
    static UIUserInterfaceStyle style = UIUserInterfaceStyle::Light;
    return style;
}

// Qt's own widgets (the colour picker's controls, scroll areas) draw from the application
// palette. Dark: the raised background they appear on, light text, the dark system blue.
QPalette darkPalette() {
    QPalette p;
    const QColor text = Qt::white;
    const QColor dimText(235, 235, 245, 77);
    p.setColor(QPalette::Window, QColor(28, 28, 30));
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(44, 44, 46));
    p.setColor(QPalette::AlternateBase, QColor(58, 58, 60));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::PlaceholderText, dimText);
    p.setColor(QPalette::Button, QColor(58, 58, 60));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(255, 69, 58));
    p.setColor(QPalette::Light, QColor(84, 84, 88));
    p.setColor(QPalette::Midlight, QColor(68, 68, 72));
    p.setColor(QPalette::Mid, QColor(44, 44, 46));
    p.setColor(QPalette::Dark, QColor(20, 20, 22));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(10, 132, 255));
    p.setColor(QPalette::HighlightedText, text);
    p.setColor(QPalette::Link, QColor(10, 132, 255));
    p.setColor(QPalette::ToolTipBase, QColor(44, 44, 46));
    p.setColor(QPalette::ToolTipText, text);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dimText);
    return p;
}

void applyApplicationPalette(UIUserInterfaceStyle style) {
    // Light is the palette the application started with.
    static std::optional<QPalette> light;
    if (!light)
        light = QApplication::palette();
    QApplication::setPalette(style == UIUserInterfaceStyle::Dark ? darkPalette() : *light);
}
} // namespace

UITraitCollection UITraitCollection::currentTraitCollection() {
    return {applicationStyle(), UIUserInterfaceLevel::Base};
}

UITraitCollection UITraitCollection::traitCollectionForView(const QWidget* view) {
    UITraitCollection traits = currentTraitCollection();
    for (const QWidget* w = view; w; w = w->parentWidget()) {
        if (w->property(kElevated).toBool()) {
            traits.userInterfaceLevel = UIUserInterfaceLevel::Elevated;
            break;
        }
    }
    return traits;
}

void UITraitCollection::setElevated(QWidget* view) {
    if (view)
        view->setProperty(kElevated, true);
}

UIUserInterfaceStyle UITraitCollection::userInterfaceStyleOfApplication() {
    return applicationStyle();
}

void UITraitCollection::setUserInterfaceStyleOfApplication(UIUserInterfaceStyle style) {
    if (style == UIUserInterfaceStyle::Unspecified)
        style = UIUserInterfaceStyle::Light;
    if (style == applicationStyle())
        return;
    const UITraitCollection previous = currentTraitCollection();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        applicationStyle() = style;
        return;
    }
    // Reactions may add or remove widgets, so the ones there now are taken first and guarded.
    QList<QPointer<QWidget>> widgets;
    QHash<QWidget*, QColor> tintsBefore;
    for (QWidget* w : QApplication::allWidgets()) {
        widgets.append(w);
        if (dynamic_cast<UITintObserver*>(w))
            tintsBefore.insert(w, UITint::tintColor(w));
    }
    applicationStyle() = style;
    applyApplicationPalette(style);
    for (const QPointer<QWidget>& w : std::as_const(widgets)) {
        if (w)
            UIColor::refreshPaletteColors(w);
    }
    for (const QPointer<QWidget>& w : std::as_const(widgets)) {
        if (auto* environment = dynamic_cast<UITraitEnvironment*>(w.data()))
            environment->traitCollectionDidChange(previous);
    }
    for (const QPointer<QWidget>& w : std::as_const(widgets)) {
        auto* observer = w ? dynamic_cast<UITintObserver*>(w.data()) : nullptr;
        if (observer && UITint::tintColor(w) != tintsBefore.value(w))
            observer->tintColorDidChange();
    }
    // What paints its colours as it draws only needs drawing again.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->update();
}
