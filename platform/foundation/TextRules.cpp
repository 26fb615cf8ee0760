#include "TextRules.h"

#include <QByteArray>
#include <QLocale>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

qsizetype skipSpace(QStringView text, qsizetype i) {
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

qsizetype skipDigits(QStringView text, qsizetype i) {
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    return i;
}

// The end of the longest decimal number starting at `start`, or `start` when there is none.
qsizetype decimalNumberEnd(QStringView text, qsizetype start) {
    qsizetype i = start;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype intStart = i;
    i = skipDigits(text, i);
    bool digits = i > intStart;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        const qsizetype fracEnd = skipDigits(text, i + 1);
        digits = digits || fracEnd > i + 1;
        i = fracEnd;
    }
    if (!digits)
        return start;
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype e = i + 1;
        if (e < text.size() && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-')))
            ++e;
        const qsizetype expEnd = skipDigits(text, e);
        if (expEnd > e)
            i = expEnd;
    }
    return i;
}

locale_t cLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

} // namespace

namespace TextRules {

float floatValue(QStringView text) {
    const qsizetype start = skipSpace(text, 0);
    const qsizetype end = decimalNumberEnd(text, start);
    if (end == start)
        return 0.0f;
    const QByteArray ascii = text.mid(start, end - start).toLatin1();
    return strtof_l(ascii.constData(), nullptr, cLocale());
}

qint64 longLongValue(QStringView text) {
    qsizetype i = skipSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    // Accumulate as a negative number: its range includes the 64-bit minimum.
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        const int digit = text[i].unicode() - u'0';
        if (value < (min + digit) / 10) {
            value = min;
            while (i < text.size() && isAsciiDigit(text[i]))
                ++i;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == min ? std::numeric_limits<qint64>::max() : -value;
}

quint32 scanHexInt(QStringView text) {
    qsizetype i = skipSpace(text, 0);
    if (i + 1 < text.size() && text[i] == QLatin1Char('0') &&
        (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X')))
        i += 2;
    quint64 value = 0;
    bool overflow = false;
    for (int digit; i < text.size() && (digit = hexDigitValue(text[i])) >= 0; ++i) {
        value = (value << 4) | quint64(digit);
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value &= 0xFFFFFFFFull; // keep reading digits; the result saturates below
        }
    }
    return overflow ? 0xFFFFFFFFu : quint32(value);
}

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QString decimalText(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (!isNumber(value))
        return QString();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (d == 0.0)
            return QStringLiteral("0"); // also -0.0
        if (std::isnan(d))
            return QStringLiteral("nan");
        if (std::isinf(d))
            return d > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
        if (d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    }
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UInt:
    case QMetaType::UShort:
        return QString::number(value.toULongLong());
    default:
        return QString::number(value.toLongLong());
    }
}

QString format02f(double value) {
    return QString::asprintf("%.02f", value);
}

} // namespace TextRules
