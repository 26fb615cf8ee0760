#include "QEVColorCodecTestSupport.h"
#include "cells/QEVColorCodec.h"

#include <random>

namespace {

using Codec = QEVColorCodec;

QString hexDigits(quint32 value, int width) {
    QString digits(width, QLatin1Char('0'));
    for (int i = width - 1; i >= 0; --i, value >>= 4)
        digits[i] = QLatin1Char("0123456789ABCDEF"[value & 0xF]);
    return digits;
}

TEST(QEVColorCodecProperty, EveryByteFormatsBackToItself) {
    for (int k = 0; k < 256; ++k) {
        const QString kk = hexDigits(quint32(k), 2);
        const QString expected = QStringLiteral("#") + kk + kk + kk + kk;
        ASSERT_EQ(Codec::byteFromComponent(k / 255.0), k);
        ASSERT_EQ(Codec::hexFromColor(colorOfBytes(k, k, k, k), true), expected) << k;
        // A picked QColor keeps its 8-bit channels exactly.
        ASSERT_EQ(Codec::hexFromColor(QEVColor::fromQColor(QColor(k, k, k, k)), true), expected);
    }
}

// Every 6-digit string reads and writes back unchanged without alpha (a few seconds).
TEST(QEVColorCodecProperty, EverySixDigitStringRoundTrips) {
    for (quint32 rgb = 0; rgb < (1u << 24); ++rgb) {
        const QString hex = QStringLiteral("#") + hexDigits(rgb, 6);
        const QEVColor color = Codec::colorFromHex(hex, false);
        const QString back = Codec::hexFromColor(color, false);
        if (back != hex || color.alpha != 1.0)
            FAIL() << str(hex) << " came back as " << str(back);
    }
}

// Seeded samples in mixed case, with and without "#": 8-digit strings round-trip with alpha and
// lose only the alpha digits without it; 6-digit strings read as opaque with alpha honoured.
TEST_P(ColorCodecLocaleTest, SampledStringsRoundTrip) {
    std::mt19937 random(20240607);
    std::uniform_int_distribution<quint32> packed;
    for (int i = 0; i < 1'000'000; ++i) {
        const quint32 value = packed(random);
        const QString hex = QStringLiteral("#") + hexDigits(value, 8);
        const QString typed = (i & 1) ? hex.toLower() : hex.mid(1);
        const QString withAlpha = Codec::hexFromColor(Codec::colorFromHex(typed, true), true);
        const QString opaque = Codec::hexFromColor(Codec::colorFromHex(typed, true), false);
        if (withAlpha != hex || opaque != hex.left(7))
            FAIL() << str(typed) << " came back as " << str(withAlpha) << " / " << str(opaque);
        const QString six = typed.left(typed.size() - 2);
        const QString expected = hex.left(7) + QStringLiteral("FF");
        if (Codec::hexFromColor(Codec::colorFromHex(six, true), true) != expected)
            FAIL() << str(six) << " did not read as " << str(expected);
    }
}

// Any colour the codec reads formats to a canonical string that reads back to the same colour.
TEST(QEVColorCodecProperty, ReadColoursSurviveAFormatAndRead) {
    std::mt19937 random(7);
    const QString alphabet = QStringLiteral("0123456789abcdefABCDEF#:x .-ZZ");
    std::uniform_int_distribution<int> length(0, 14);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    for (int i = 0; i < 200'000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += alphabet.at(pick(random));
        for (bool useAlpha : {false, true}) {
            const QEVColor color = Codec::colorFromHex(text, useAlpha);
            const QString hex = Codec::hexFromColor(color, useAlpha);
            ASSERT_EQ(hex.size(), useAlpha ? 9 : 7) << str(text);
            ASSERT_EQ(Codec::colorFromHex(hex, useAlpha), color) << str(text);
        }
    }
}

} // namespace
