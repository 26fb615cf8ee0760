#include "cells/QEVColorPickerCell.h"

#include "cells/QEVColorCodec.h"
#include "cells/QEVColorIndicatorView.h"
#include "cells/QEVColorSwatch.h"
#include "cells/QEVCrossDissolve.h"

#include "foundation/NSBundle.h"
#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "uikit/UIApplication.h"
#include "uikit/UIColor.h"
#include "uikit/UIColorPickerViewController.h"
#include "uikit/UIPopoverPresentationController.h"
#include "uikit/UIScene.h"
#include "uikit/UIWindow.h"

#include <QLabel>

namespace {

const QString kFallbackHex = QStringLiteral("fallbackHex");
const QString kSupportsAlpha = QStringLiteral("supportsAlpha");
const QString kLabel = QStringLiteral("label");
const QString kLocalizationTable = QStringLiteral("localizationTable");

QString textOf(const QVariant& value) {
    return value.isValid() ? value.toString() : QString();
}

} // namespace

QEVColorPickerCell::QEVColorPickerCell(int, const QString& reuseIdentifier, PSSpecifier* specifier,
                                       QWidget* parent)
    : PSTableCell(UITableViewCellStyleSubtitle, reuseIdentifier, specifier, parent) {
    if (specifier) {
        _fallbackHex = textOf(specifier->propertyForKey(kFallbackHex));
        // Only the key's presence counts: a value of false turns alpha on too.
        _supportsAlpha = specifier->propertyForKey(kSupportsAlpha).isValid();
    }
    // Inside the table the labels would otherwise take the text colour of the scroll area's
    // base role rather than their own window-text colour.
    textLabel()->setForegroundRole(QPalette::WindowText);
    detailTextLabel()->setForegroundRole(QPalette::WindowText);
    makeColorPicker(specifier);

    _indicatorView = new QEVColorIndicatorView(this);
    _indicatorShape = _indicatorView->swatch();
    setAccessoryView(_indicatorView);

    const QString value = storedHex();
    _currentColor = colorFromHex(value, _supportsAlpha);
    _indicatorShape->setFillColor(_currentColor.toQColor());
    detailTextLabel()->setText(legibleStringFromHex(value));
    // Enter or Space opens the picker, as a tap does; a screen reader reads the colour's text.
    setActsAsControl(true);
}

QString QEVColorPickerCell::storedHex() const {
    PSSpecifier* row = specifier();
    const QVariant stored = row ? row->performGetter() : QVariant();
    return stored.isValid() ? stored.toString() : _fallbackHex;
}

void QEVColorPickerCell::showStoredValue() {
    const QString hex = storedHex();
    const QEVColor stored = colorFromHex(hex, _supportsAlpha);
    const QString text = legibleStringFromHex(hex);
    // What is shown already (a pick just stored, say) keeps its transition.
    if (stored == _currentColor && text == detailTextLabel()->text())
        return;
    _currentColor = stored;
    // A fill set outside a transition ends the swatch's; the text's is ended here.
    _indicatorShape->setFillColor(_currentColor.toQColor());
    QEVCrossDissolve::finish(detailTextLabel());
    detailTextLabel()->setText(text);
    detailTextDidChange();
}

QEVColorPickerCell::~QEVColorPickerCell() = default;

void QEVColorPickerCell::makeColorPicker(PSSpecifier* specifier) {
    PSListController* target = specifier ? specifier->target() : nullptr;
    NSBundle* bundle = target && target->bundle() ? target->bundle() : NSBundle::mainBundle();
    const QString label = specifier ? textOf(specifier->propertyForKey(kLabel)) : QString();
    const QString table =
        specifier ? textOf(specifier->propertyForKey(kLocalizationTable)) : QString();

    _colorPicker = new UIColorPickerViewController(this);
    _colorPicker->setDelegate(this);
    _colorPicker->setSupportsAlpha(_supportsAlpha);
    _colorPicker->setTitle(bundle ? bundle->localizedStringForKey(label, label, table) : label);
}

void QEVColorPickerCell::setSelected(bool selected, bool animated) {
    // The row never takes the selected state: selecting it only opens the picker.
    if (selected) {
        presentColorPicker();
        return;
    }
    PSTableCell::setSelected(selected, animated);
}

UIViewController* QEVColorPickerCell::presenter() {
    if (UIViewController* nearest = UIViewController::viewControllerForView(this))
        return nearest;
    for (UIScene* scene : UIApplication::sharedApplication()->connectedScenes()) {
        if (!scene || scene->activationState() != UISceneActivationStateForegroundActive)
            continue;
        const QList<UIWindow*> windows = scene->windows();
        return windows.isEmpty() ? nullptr : windows.first()->rootViewController();
    }
    return nullptr;
}

void QEVColorPickerCell::presentColorPicker() {
    _colorPicker->setSelectedColor(_currentColor.toQColor());
    _colorPicker->setModalPresentationStyle(UIModalPresentationStyle::Popover);
    UIViewController* presenting = presenter();
    if (UIPopoverPresentationController* popover = _colorPicker->popoverPresentationController()) {
        popover->setSourceView(this);
        popover->setSourceRect(rect());
        popover->setPermittedArrowDirections(UIPopoverArrowDirectionUnknown);
        popover->setBackgroundColor(UIColor::systemBackgroundColor());
    }
    if (presenting)
        presenting->presentViewController(_colorPicker, true);
}

void QEVColorPickerCell::colorPickerViewControllerDidSelectColor(
    UIColorPickerViewController* picker) {
    if (!picker)
        return;
    _currentColor = QEVColor::fromQColor(picker->selectedColor());
    const QString hex = hexFromColor(_currentColor, _supportsAlpha);
    _indicatorView->transition(kTransitionMs,
                               [this] { _indicatorShape->setFillColor(_currentColor.toQColor()); });
    QLabel* detail = detailTextLabel();
    QEVCrossDissolve::transition(detail, kTransitionMs, [this, detail, hex] {
        detail->setText(legibleStringFromHex(hex));
        detailTextDidChange();
    });
    // Stored last: a store that fails puts the stored colour back, and that is what is shown.
    if (PSSpecifier* row = specifier())
        row->performSetterWithValue(hex);
}

QEVColor QEVColorPickerCell::colorFromHex(const QString& hex, bool useAlpha) {
    return QEVColorCodec::colorFromHex(hex, useAlpha);
}

QString QEVColorPickerCell::hexFromColor(const QEVColor& color, bool useAlpha) {
    return QEVColorCodec::hexFromColor(color, useAlpha);
}

QString QEVColorPickerCell::legibleStringFromHex(const QString& hex) {
    return QEVColorCodec::legibleStringFromHex(hex);
}

void QEVColorPickerCell::tintColorDidChange() {
    PSTableCell::tintColorDidChange();
    applyTitleTint();
}

void QEVColorPickerCell::refreshCellContentsWithSpecifier(PSSpecifier* specifier) {
    PSTableCell::refreshCellContentsWithSpecifier(specifier);
    applyTitleTint();
}

void QEVColorPickerCell::applyTitleTint() {
    QLabel* title = textLabel();
    const QColor tint = tintColor();
    // Through the platform, so that a change of appearance does not put the label colour back.
    UIColor::setPaletteColor(title, QPalette::WindowText, tint);
    UIColor::setPaletteColor(title, QPalette::HighlightedText, tint);
}
