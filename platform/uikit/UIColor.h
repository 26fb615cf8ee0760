#pragma once

#include "uikit/UITraitCollection.h"

#include <QColor>
#include <QMetaType>
#include <QPalette>

class QWidget;

// A colour as the platform's system colours are: a value for light appearance and one for dark
// (and, for the backgrounds, one for dark content raised above the base level), resolved
// against the appearance of where it is drawn. Made from one QColor, it is the same in every
// appearance: the pane's own colours are.
class UIColor {
public:
    UIColor() = default;
    UIColor(const QColor& color) : _light(color), _dark(color), _darkElevated(color) {} // NOLINT
    UIColor(const QColor& light, const QColor& dark, const QColor& darkElevated = QColor());

    QColor resolvedColorWithTraitCollection(const UITraitCollection& traits) const;
    QColor resolvedColor() const; // in the application's appearance, on the base level
    QColor resolvedColorForView(const QWidget* view) const;
    bool isValid() const { return _light.isValid(); }
    UIColor colorWithAlphaComponent(qreal alpha) const;
    bool operator==(const UIColor&) const = default;

    // The dynamic system colours, with the device's values. The fills (the tracks of the
    // switch and the slider) live with those controls.
    static UIColor systemBackgroundColor();
    static UIColor systemGroupedBackgroundColor();
    static UIColor secondarySystemGroupedBackgroundColor();
    static UIColor labelColor();
    static UIColor secondaryLabelColor();
    static UIColor tertiaryLabelColor();
    static UIColor separatorColor();
    static UIColor systemGray4Color();
    static UIColor systemBlueColor();
    static UIColor systemRedColor();

    // Sets `role` of the widget's own palette to the colour resolved for it now, and again
    // whenever the application's appearance changes.
    static void setPaletteColor(QWidget* widget, QPalette::ColorRole role, const UIColor& color);
    // Resolves the widget's dynamic palette colours again; done for every widget on a change.
    static void refreshPaletteColors(QWidget* widget);

private:
    QColor _light;
    QColor _dark;
    QColor _darkElevated;
};

Q_DECLARE_METATYPE(UIColor)
