#pragma once

#include "preferences/PSTableCell.h"

class UISwitch;

// A row with a switch at its trailing edge: a direct child of the cell, outside the content
// view. It shows the specifier's value and stores every toggle through the specifier.
class PSSwitchTableCell : public PSTableCell {
    Q_OBJECT
public:
    PSSwitchTableCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                      QWidget* parent = nullptr);

    UISwitch* control() const { return _switch; }
    void refreshCellContentsWithSpecifier(PSSpecifier* specifier) override;
    void showStoredValue() override; // the thumb slides to the stored side

    // The value a stored object stands for: booleans and numbers as such, a text by its
    // leading character as the platform reads it ("YES", "true", "1"); anything else is off.
    static bool boolValue(const QVariant& value);
    // The value the switch shows: the getter's, else "default", else off.
    static bool switchValueForSpecifier(PSSpecifier* specifier);

private:
    void controlChanged();

    UISwitch* _switch;
};
