#include "cells/QEVColorCodec.h"

#include "foundation/TextRules.h"

#include <QStringList>
#include <cmath>
#include <limits>
#include <utility>

namespace {

const QChar kSeparator = QLatin1Char(':');

// A channel byte as at least two upper-case digits of its 32-bit pattern, so a negative byte
// shows all eight digits of its two's complement and one above 255 shows three.
void appendByteDigits(QString& text, qint32 byte) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    char16_t digits[8];
    qsizetype first = 8;
    for (quint32 bits = quint32(byte); bits != 0 || first > 6; bits >>= 4)
        digits[--first] = kDigits[bits & 0xFu];
    text.append(QStringView(digits + first, 8 - first));
}

double channel(quint32 packed, int shift) {
    return ((packed >> shift) & 0xFFu) / 255.0;
}

qint32 truncateSaturating(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<qint32>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<qint32>::min();
    return qint32(value); // truncates toward zero
}

// Display text of a text too short to lose its last two digits: the packed value it scans to,
// in the eight-digit display form, so the text names the colour the swatch shows.
QString legibleStringOfPacked(quint32 packed) {
    return QStringLiteral("#%1:%2")
        .arg(packed >> 8, 6, 16, QLatin1Char('0'))
        .toUpper()
        .arg(TextRules::format02f(channel(packed, 0)));
}

} // namespace

QString QEVColorCodec::normalizedHex(const QString& hex) {
    QString text = hex;
    text.remove(QLatin1Char('#'));
    return std::move(text).toUpper();
}

qint32 QEVColorCodec::alphaByteFromPercent(float percent) {
    const float fraction = percent / 100.0f;
    return truncateSaturating(double(fraction) * 255.0);
}

qint32 QEVColorCodec::byteFromComponent(double component) {
    return truncateSaturating(component * 255.0);
}

QString QEVColorCodec::completedHex(const QString& normalized) {
    // The pieces between the ":"s: only a text of exactly two pieces carries a percentage.
    const qsizetype colon = normalized.indexOf(kSeparator);
    const bool twoPieces = colon >= 0 && normalized.indexOf(kSeparator, colon + 1) < 0;
    const qint32 alpha =
        twoPieces
            ? alphaByteFromPercent(TextRules::floatValue(QStringView(normalized).mid(colon + 1)))
            : 255;
    QString text;
    text.reserve(normalized.size() + 8);
    text.append(QStringView(normalized).left(colon < 0 ? normalized.size() : colon));
    appendByteDigits(text, alpha);
    return text;
}

QEVColor QEVColorCodec::colorFromHex(const QString& hex, bool useAlpha) {
    QString text = normalizedHex(hex);
    if (text.contains(kSeparator) || text.size() == 6)
        text = completedHex(text);
    const quint32 packed = TextRules::scanHexInt(text);
    return {channel(packed, 24), channel(packed, 16), channel(packed, 8),
            useAlpha ? channel(packed, 0) : 1.0};
}

QString QEVColorCodec::hexFromColor(const QEVColor& color, bool useAlpha) {
    QString text;
    text.reserve(9);
    text += QLatin1Char('#');
    appendByteDigits(text, byteFromComponent(color.red));
    appendByteDigits(text, byteFromComponent(color.green));
    appendByteDigits(text, byteFromComponent(color.blue));
    // Without alpha the alpha digits are left out rather than cut off the end: an alpha outside
    // 0..1 formats to more than two digits, and cutting two would leave the rest behind.
    if (useAlpha)
        appendByteDigits(text, byteFromComponent(color.alpha));
    return text;
}

QString QEVColorCodec::legibleStringFromHex(const QString& hex) {
    const QString text = normalizedHex(hex);
    if (text.contains(kSeparator)) {
        const QStringList pieces = text.split(kSeparator);
        return QStringLiteral("#") + pieces.at(0) + kSeparator + pieces.at(1);
    }
    if (text.size() == 6)
        return QStringLiteral("#") + text;
    const quint32 packed = TextRules::scanHexInt(text);
    if (text.size() < 2)
        return legibleStringOfPacked(packed);
    return QStringLiteral("#") + text.chopped(2) + kSeparator +
           TextRules::format02f(channel(packed, 0));
}
