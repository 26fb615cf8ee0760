// Arbitrary text through the colour codec, and its results back in. Aborts when a colour read
// from text is not made of channel bytes, when a colour with components in 0..1 formats to
// anything but #RRGGBB / #RRGGBBAA, or when a formatted colour does not read back the same.
#include "cells/QEVColorCodec.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

bool isCanonicalHex(const QString& hex, bool useAlpha) {
    if (hex.size() != (useAlpha ? 9 : 7) || hex.at(0) != QLatin1Char('#'))
        return false;
    for (qsizetype i = 1; i < hex.size(); ++i) {
        const char16_t c = hex.at(i).unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

bool isChannelByte(double component) {
    const double byte = component * 255.0;
    return byte >= 0.0 && byte <= 255.0 && byte == double(int(byte)) &&
           int(byte) / 255.0 == component;
}

void exerciseText(const QString& text) {
    for (bool useAlpha : {false, true}) {
        const QEVColor color = QEVColorCodec::colorFromHex(text, useAlpha);
        check(isChannelByte(color.red) && isChannelByte(color.green) && isChannelByte(color.blue) &&
              isChannelByte(color.alpha));
        const QString hex = QEVColorCodec::hexFromColor(color, useAlpha);
        check(isCanonicalHex(hex, useAlpha));
        check(QEVColorCodec::colorFromHex(hex, useAlpha) == color);
    }
    const QString legible = QEVColorCodec::legibleStringFromHex(text);
    check(legible.startsWith(QLatin1Char('#')));
    QEVColorCodec::colorFromHex(legible, true);
    QEVColorCodec::legibleStringFromHex(legible);
}

// A component in 0..1 from eight raw bytes: the double itself when it lies there, else its bits
// as a fraction of 2^64.
double unitComponent(const uint8_t* bytes, double* raw) {
    uint64_t bits;
    std::memcpy(&bits, bytes, sizeof bits);
    std::memcpy(raw, &bits, sizeof bits);
    if (*raw >= 0.0 && *raw <= 1.0)
        return *raw;
    return double(bits) / 18446744073709551616.0;
}

void exerciseColor(const uint8_t* data) {
    QEVColor raw;
    QEVColor unit;
    unit.red = unitComponent(data, &raw.red);
    unit.green = unitComponent(data + 8, &raw.green);
    unit.blue = unitComponent(data + 16, &raw.blue);
    unit.alpha = unitComponent(data + 24, &raw.alpha);
    for (bool useAlpha : {false, true}) {
        const QString any = QEVColorCodec::hexFromColor(raw, useAlpha);
        check(any.startsWith(QLatin1Char('#')));
        raw.toQColor();
        check(isCanonicalHex(QEVColorCodec::hexFromColor(unit, useAlpha), useAlpha));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    exerciseText(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    // As raw UTF-16 too, so unpaired surrogates and any code unit reach the codec.
    exerciseText(QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2)));
    if (size >= 32)
        exerciseColor(data);
    return 0;
}
