#pragma once

#include "preferences/PSTableCell.h"

// A row that shows a title and, at its trailing edge, the specifier's value as text.
class PSStaticTextTableCell : public PSTableCell {
    Q_OBJECT
public:
    PSStaticTextTableCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                          QWidget* parent = nullptr);

    void refreshCellContentsWithSpecifier(PSSpecifier* specifier) override;
};
