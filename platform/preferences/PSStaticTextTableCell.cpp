#include "preferences/PSStaticTextTableCell.h"

#include "foundation/TextRules.h"
#include "preferences/PSSpecifier.h"

#include <QLabel>

PSStaticTextTableCell::PSStaticTextTableCell(int style, const QString& reuseIdentifier,
                                             PSSpecifier* specifier, QWidget* parent)
    : PSTableCell(UITableViewCellStyleValue1, reuseIdentifier, specifier, parent) {
    setSelectionStyle(UITableViewCellSelectionStyleNone);
    refreshCellContentsWithSpecifier(specifier);
}

void PSStaticTextTableCell::refreshCellContentsWithSpecifier(PSSpecifier* specifier) {
    PSTableCell::refreshCellContentsWithSpecifier(specifier);
    PSSpecifier* rowSpecifier = this->specifier();
    if (!rowSpecifier)
        return;
    QVariant value = rowSpecifier->performGetter();
    if (!value.isValid())
        value = rowSpecifier->propertyForKey(QStringLiteral("default"));
    detailTextLabel()->setText(TextRules::decimalText(value));
    setNeedsLayout();
}
