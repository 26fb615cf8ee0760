#include "uikit/UIColor.h"

#include <QVariant>
#include <QWidget>

namespace {
const char* const kPaletteColors = "_UIPaletteColors";

QColor withAlpha(int r, int g, int b, qreal alpha) {
    QColor color(r, g, b);
    color.setAlphaF(float(alpha));
    return color;
}
} // namespace

UIColor::UIColor(const QColor& light, const QColor& dark, const QColor& darkElevated)
    : _light(light), _dark(dark), _darkElevated(darkElevated.isValid() ? darkElevated : dark) {}

QColor UIColor::resolvedColorWithTraitCollection(const UITraitCollection& traits) const {
    if (traits.userInterfaceStyle != UIUserInterfaceStyle::Dark)
        return _light;
    return traits.userInterfaceLevel == UIUserInterfaceLevel::Elevated ? _darkElevated : _dark;
}

QColor UIColor::resolvedColor() const {
    return resolvedColorWithTraitCollection(UITraitCollection::currentTraitCollection());
}

QColor UIColor::resolvedColorForView(const QWidget* view) const {
    return resolvedColorWithTraitCollection(UITraitCollection::traitCollectionForView(view));
}

UIColor UIColor::colorWithAlphaComponent(qreal alpha) const {
    UIColor copy = *this;
    for (QColor* c : {&copy._light, &copy._dark, &copy._darkElevated})
        c->setAlphaF(float(alpha));
    return copy;
}

// Backgrounds: light, dark, and dark raised above the base level.

UIColor UIColor::systemBackgroundColor() {
    return {QColor(255, 255, 255), QColor(0, 0, 0), QColor(28, 28, 30)};
}

UIColor UIColor::systemGroupedBackgroundColor() {
    return {QColor(242, 242, 247), QColor(0, 0, 0), QColor(28, 28, 30)};
}

UIColor UIColor::secondarySystemGroupedBackgroundColor() {
    return {QColor(255, 255, 255), QColor(28, 28, 30), QColor(44, 44, 46)};
}

// Text and lines.

UIColor UIColor::labelColor() {
    return {QColor(0, 0, 0), QColor(255, 255, 255)};
}

UIColor UIColor::secondaryLabelColor() {
    // The device's 60 % leaves 13-pixel text at 3.3:1 on the grouped background; 75 % reaches
    // the 4.5:1 small text needs. Dark already does at 60 %.
    return {withAlpha(60, 60, 67, 0.75), withAlpha(235, 235, 245, 0.6)};
}

UIColor UIColor::tertiaryLabelColor() {
    return {withAlpha(60, 60, 67, 0.3), withAlpha(235, 235, 245, 0.3)};
}

UIColor UIColor::separatorColor() {
    return {withAlpha(60, 60, 67, 0.29), withAlpha(84, 84, 88, 0.6)};
}

UIColor UIColor::systemGray4Color() {
    return {QColor(209, 209, 214), QColor(58, 58, 60)};
}

UIColor UIColor::systemBlueColor() {
    return {QColor(0, 122, 255), QColor(10, 132, 255)};
}

UIColor UIColor::systemRedColor() {
    return {QColor(255, 59, 48), QColor(255, 69, 58)};
}

// Palettes.

void UIColor::setPaletteColor(QWidget* widget, QPalette::ColorRole role, const UIColor& color) {
    if (!widget)
        return;
    QVariantMap colors = widget->property(kPaletteColors).toMap();
    colors.insert(QString::number(int(role)), QVariant::fromValue(color));
    widget->setProperty(kPaletteColors, colors);
    QPalette palette = widget->palette();
    palette.setColor(role, color.resolvedColorForView(widget));
    widget->setPalette(palette);
}

void UIColor::refreshPaletteColors(QWidget* widget) {
    const QVariant stored = widget ? widget->property(kPaletteColors) : QVariant();
    if (!stored.isValid())
        return;
    QPalette palette = widget->palette();
    const QVariantMap colors = stored.toMap();
    for (auto it = colors.cbegin(); it != colors.cend(); ++it) {
        const auto role = QPalette::ColorRole(it.key().toInt());
        palette.setColor(role, it.value().value<UIColor>().resolvedColorForView(widget));
    }
    widget->setPalette(palette);
}
