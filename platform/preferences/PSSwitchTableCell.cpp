#include "preferences/PSSwitchTableCell.h"

#include "foundation/TextRules.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UISwitch.h"

#include <QLabel>

PSSwitchTableCell::PSSwitchTableCell(int style, const QString& reuseIdentifier,
                                     PSSpecifier* specifier, QWidget* parent)
    : PSTableCell(style, reuseIdentifier, specifier, parent), _switch(new UISwitch(this)) {
    setSelectionStyle(UITableViewCellSelectionStyleNone);
    setAccessoryView(_switch);
    _switch->setOn(switchValueForSpecifier(specifier));
    _switch->setAccessibleName(textLabel()->text());
    connect(_switch, &UISwitch::valueChanged, this, &PSSwitchTableCell::controlChanged);
}

void PSSwitchTableCell::refreshCellContentsWithSpecifier(PSSpecifier* specifier) {
    PSTableCell::refreshCellContentsWithSpecifier(specifier);
    _switch->setOn(switchValueForSpecifier(this->specifier()));
    _switch->setAccessibleName(textLabel()->text());
}

void PSSwitchTableCell::showStoredValue() {
    const bool stored = switchValueForSpecifier(specifier());
    if (_switch->isOn() != stored)
        _switch->setOn(stored, true);
}

void PSSwitchTableCell::controlChanged() {
    if (PSSpecifier* rowSpecifier = specifier())
        rowSpecifier->performSetterWithValue(QVariant(_switch->isOn()));
}

bool PSSwitchTableCell::boolValue(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (TextRules::isNumber(value))
        return value.toDouble() != 0;
    if (value.typeId() != QMetaType::QString)
        return false;
    // Leading blanks, a sign and leading zeros are skipped; Y, T or a digit 1-9 reads as on.
    const QString text = value.toString();
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    while (i < text.size() && text.at(i) == u'0')
        ++i;
    if (i >= text.size())
        return false;
    const QChar c = text.at(i);
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

bool PSSwitchTableCell::switchValueForSpecifier(PSSpecifier* specifier) {
    if (!specifier)
        return false;
    QVariant value = specifier->performGetter();
    if (!value.isValid())
        value = specifier->propertyForKey(QStringLiteral("default"));
    return boolValue(value);
}
