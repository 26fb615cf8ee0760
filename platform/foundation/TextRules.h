#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

// The platform's text and number rules, gathered in one place so every part of the pane reads
// text the same way. None of them depends on the process locale: the decimal point is always a
// full stop.
namespace TextRules {

// A string's floatValue: leading white space skipped, then the longest leading decimal number
// (optional sign, digits, fraction, exponent), in single precision; 0 when the text holds none.
// "nan", "inf" and hexadecimal floats are not numbers here. Out-of-range values give ±inf or 0.
float floatValue(QStringView text);

// A text's integer value: leading blanks, an optional sign, the leading digits; 0 when there
// are none; saturating at the 64-bit limits.
qint64 longLongValue(QStringView text);

// A hexadecimal scan: leading white space and line breaks skipped, an optional 0x/0X, digits up
// to the first character that is not one; 0 when there is none; all 32 bits set on overflow.
quint32 scanHexInt(QStringView text);

// Whether the value is a number in the property-list sense: a boolean, an integer or a real.
bool isNumber(const QVariant& value);

// The decimal text of a value: a number of value zero (integer or floating) and false give "0",
// true gives "1", other numbers their shortest decimal text; a string gives itself; any other
// kind gives a null string.
QString decimalText(const QVariant& value);

// "%.02f": two digits after the point, a leading minus for negative values, no grouping.
QString format02f(double value);

} // namespace TextRules
