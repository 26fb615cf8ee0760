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
    PSSpecifier* spec = this->specifier();
    if (!spec)
        return;
    QVariant value = spec->performGetter();
    if (!value.isValid())
        value = spec->propertyForKey(QStringLiteral("default"));
    detailTextLabel()->setText(TextRules::decimalText(value));
    setNeedsLayout();
}
