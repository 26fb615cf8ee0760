#pragma once

#include "cells/QEVColor.h"

#include "preferences/PSTableCell.h"
#include "uikit/UIColorPickerViewControllerDelegate.h"

#include <QString>

class QEVColorIndicatorView;
class QEVColorSwatch;
class UIColorPickerViewController;
class UIViewController;

// A row that shows a colour setting: its title, the colour as text under it, and at the trailing
// edge a rainbow-rimmed swatch of the colour. Selecting the row opens the colour picker; every
// colour picked is stored through the specifier at once and shown with a short transition.
//
// Row properties: "fallbackHex" (shown while the getter gives nothing), "supportsAlpha" (its
// mere presence, any value, turns opacity on), "label" and "localizationTable" (the picker's
// title).
class QEVColorPickerCell : public PSTableCell, public UIColorPickerViewControllerDelegate {
    Q_OBJECT
public:
    // The style is always the subtitle style, whatever the caller asks for.
    QEVColorPickerCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                       QWidget* parent = nullptr);
    ~QEVColorPickerCell() override;

    void setSelected(bool selected, bool animated) override;
    void presentColorPicker();
    void colorPickerViewControllerDidSelectColor(UIColorPickerViewController* picker) override;

    static QEVColor colorFromHex(const QString& hex, bool useAlpha);
    static QString hexFromColor(const QEVColor& color, bool useAlpha);
    static QString legibleStringFromHex(const QString& hex);

    void tintColorDidChange() override;
    void refreshCellContentsWithSpecifier(PSSpecifier* specifier) override;
    // Swatch and text at once, any transition ended.
    void showStoredValue() override;

    UIColorPickerViewController* colorPicker() const { return _colorPicker; }
    QEVColor currentColor() const { return _currentColor; }
    QString fallbackHex() const { return _fallbackHex; }
    bool supportsAlpha() const { return _supportsAlpha; }
    QEVColorIndicatorView* indicatorView() const { return _indicatorView; }
    QEVColorSwatch* indicatorShape() const { return _indicatorShape; }

    static constexpr int kTransitionMs = 300;

private:
    void makeColorPicker(PSSpecifier* specifier);
    QString storedHex() const; // the getter's value, else "fallbackHex"
    void applyTitleTint();
    UIViewController* presenter();

    UIColorPickerViewController* _colorPicker = nullptr;
    QEVColor _currentColor;
    QString _fallbackHex;
    bool _supportsAlpha = false;
    QEVColorIndicatorView* _indicatorView = nullptr;
    QEVColorSwatch* _indicatorShape = nullptr;
};
