#pragma once

#include "preferences/PSTableCell.h"

#include <optional>

class UISlider;

// A row holding a slider across its content view. Its range comes from "min" and "max"
// (0 and 1 when absent; a range given backwards is turned round), its value from the getter,
// and every drag of the slider is stored through the specifier as a single-precision number.
class PSSliderTableCell : public PSTableCell {
    Q_OBJECT
public:
    PSSliderTableCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                      QWidget* parent = nullptr);

    UISlider* control() const { return _slider; }
    void refreshCellContentsWithSpecifier(PSSpecifier* specifier) override;
    void showStoredValue() override;
    void layoutSubviews() override;

    // A number, or a text that is wholly a finite number; nothing otherwise.
    static std::optional<float> numberValue(const QVariant& value);

private:
    void configureFromSpecifier();
    float storedValue() const; // the getter's, else "default", else the minimum
    void controlChanged();

    UISlider* _slider;
};
