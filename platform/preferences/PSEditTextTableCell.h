#pragma once

#include "preferences/PSTableCell.h"

class QLineEdit;

// A row with a title and a text field; the field's text is stored through the specifier when
// editing ends (return or losing the focus), if it changed.
class PSEditTextTableCell : public PSTableCell {
    Q_OBJECT
public:
    PSEditTextTableCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                        QWidget* parent = nullptr);

    QLineEdit* textField() const { return _textField; }
    void refreshCellContentsWithSpecifier(PSSpecifier* specifier) override;
    // Text being typed stays in the field; it is stored when editing ends if it differs from
    // the stored text.
    void showStoredValue() override;
    void setSelected(bool selected, bool animated) override;
    void layoutSubviews() override;

private:
    void editingEnded();
    QString storedText() const; // the getter's value, else "default", as text

    QLineEdit* _textField;
    QString _shownText;
};
