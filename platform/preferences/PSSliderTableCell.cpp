#include "preferences/PSSliderTableCell.h"

#include "foundation/TextRules.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UISlider.h"

#include <QLabel>
#include <QLayout>
#include <cmath>

PSSliderTableCell::PSSliderTableCell(int style, const QString& reuseIdentifier,
                                     PSSpecifier* specifier, QWidget* parent)
    : PSTableCell(style, reuseIdentifier, specifier, parent), _slider(new UISlider(contentView())) {
    setSelectionStyle(UITableViewCellSelectionStyleNone);
    // The slider fills the row; the title is not shown, as on the device.
    textLabel()->clear();
    configureFromSpecifier();
    connect(_slider, &UISlider::valueChanged, this, &PSSliderTableCell::controlChanged);
}

std::optional<float> PSSliderTableCell::numberValue(const QVariant& value) {
    double number = 0;
    if (value.typeId() == QMetaType::Bool) {
        number = value.toBool() ? 1 : 0;
    } else if (TextRules::isNumber(value)) {
        number = value.toDouble();
    } else if (value.typeId() == QMetaType::QString) {
        bool ok = false;
        number = value.toString().trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    const float single = float(number);
    if (!std::isfinite(single))
        return std::nullopt;
    return single;
}

void PSSliderTableCell::configureFromSpecifier() {
    PSSpecifier* rowSpecifier = specifier();
    float minimum = 0;
    float maximum = 1;
    if (rowSpecifier) {
        minimum = numberValue(rowSpecifier->propertyForKey(QStringLiteral("min"))).value_or(0.0f);
        maximum = numberValue(rowSpecifier->propertyForKey(QStringLiteral("max"))).value_or(1.0f);
    }
    if (minimum > maximum)
        std::swap(minimum, maximum);
    // Widen first so that the new range never collapses on the old one.
    _slider->setMinimumValue(std::min(minimum, _slider->minimumValue()));
    _slider->setMaximumValue(maximum);
    _slider->setMinimumValue(minimum);
    _slider->setValue(storedValue());
    // The title is not shown, but a screen reader still names the slider by it.
    _slider->setAccessibleName(rowSpecifier ? rowSpecifier->name() : QString());
}

float PSSliderTableCell::storedValue() const {
    std::optional<float> value;
    if (PSSpecifier* rowSpecifier = specifier()) {
        value = numberValue(rowSpecifier->performGetter());
        if (!value)
            value = numberValue(rowSpecifier->propertyForKey(QStringLiteral("default")));
    }
    return value.value_or(_slider->minimumValue());
}

void PSSliderTableCell::showStoredValue() {
    // An unchanged value leaves a running slide alone.
    const float stored = storedValue();
    if (stored != _slider->value())
        _slider->setValue(stored);
}

void PSSliderTableCell::refreshCellContentsWithSpecifier(PSSpecifier* specifier) {
    PSTableCell::refreshCellContentsWithSpecifier(specifier);
    textLabel()->clear();
    configureFromSpecifier();
}

void PSSliderTableCell::layoutSubviews() {
    PSTableCell::layoutSubviews();
    // A subclass that puts the slider into a layout of its own places it itself.
    if (_slider->parentWidget() != contentView() || contentView()->layout())
        return;
    const int h = _slider->sizeHint().height();
    const int w = std::max(0, contentView()->width() - 2 * kMargin);
    _slider->setGeometry(kMargin, (contentView()->height() - h) / 2, w, h);
}

void PSSliderTableCell::controlChanged() {
    if (PSSpecifier* rowSpecifier = specifier())
        rowSpecifier->performSetterWithValue(QVariant(_slider->value()));
}
