#include "QEVColorCodecTestSupport.h"
#include "cells/QEVColorCodec.h"

#include <limits>

namespace {

using Codec = QEVColorCodec;

struct TextToColor {
    const char* input;
    bool useAlpha;
    int r, g, b, a;
};

// The worked examples, then the edge cases of reading.
const TextToColor kTextToColor[] = {
    {"#FF0000", true, 255, 0, 0, 255},
    {"#FF0000", false, 255, 0, 0, 255},
    {"#ff000080", true, 255, 0, 0, 128},
    {"#FF000080", false, 255, 0, 0, 255},
    {"FF0000:50", true, 255, 0, 0, 127},
    {"#00FF00:20", true, 0, 255, 0, 51},
    {"#0000FF:100", true, 0, 0, 255, 255},
    {"#FF0000:abc", true, 255, 0, 0, 0},
    {"F00", true, 0, 0, 15, 0},
    {"12:34:56", false, 0, 0, 18, 255},
    // No digits: black, transparent only when alpha is honoured.
    {"", true, 0, 0, 0, 0},
    {"", false, 0, 0, 0, 255},
    {"#", true, 0, 0, 0, 0},
    {"ZZ", true, 0, 0, 0, 0},
    {"ZZ", false, 0, 0, 0, 255},
    // Every "#" goes, wherever it is.
    {"##FF0000", true, 255, 0, 0, 255},
    {"FF#0000", true, 255, 0, 0, 255},
    {"#FF00#00#", false, 255, 0, 0, 255},
    // A leading space and a 0x prefix count toward the length: no alpha byte is added.
    {" FF0000", true, 0, 255, 0, 0},
    {" FF0000", false, 0, 255, 0, 255},
    {"0xff0000", true, 0, 255, 0, 0},
    {"0XFF0000FF", true, 255, 0, 0, 255},
    // Short forms are not expanded.
    {"F00F", true, 0, 0, 240, 15},
    {"f00", false, 0, 0, 15, 255},
    // Empty and non-numeric percentages read as 0.
    {"#FF0000:", true, 255, 0, 0, 0},
    {"#FF0000:x50", true, 255, 0, 0, 0},
    {"#FF0000: 50", true, 255, 0, 0, 127},
    {"#FF0000:50%", true, 255, 0, 0, 127},
    {"#FF0000:5e1", true, 255, 0, 0, 127},
    {"#FF0000:12:34", true, 255, 0, 0, 255},
    // A byte outside 0..255 makes more than eight digits: the scan saturates to white.
    {"#FF0000:150", true, 255, 255, 255, 255},
    {"#FF0000:-10", true, 255, 255, 255, 255},
    {"#FF000080:50", true, 255, 255, 255, 255},
    {"#FF0000:1e39", true, 255, 255, 255, 255},
    {"#FF0000:-1e39", true, 255, 255, 255, 255},
    {"FFFFFFFFF", true, 255, 255, 255, 255},
    // Without the flag the alpha is always opaque.
    {"#FF000000", false, 255, 0, 0, 255},
    {"#FF0000:0", false, 255, 0, 0, 255},
    {"#FF0000:0", true, 255, 0, 0, 0},
    // Lower case and text after the digits.
    {"#aBcDeF", true, 171, 205, 239, 255},
    {"#11223344 trailing", true, 17, 34, 51, 68},
    {"\n\t11223344", true, 17, 34, 51, 68},
};

TEST_P(ColorCodecLocaleTest, TextToColour) {
    for (const TextToColor& row : kTextToColor) {
        SCOPED_TRACE(std::string(row.input) + (row.useAlpha ? " alpha" : " opaque"));
        EXPECT_EQ(Codec::colorFromHex(QString::fromUtf8(row.input), row.useAlpha),
                  colorOfBytes(row.r, row.g, row.b, row.a));
    }
}

struct Completion {
    const char* normalized;
    const char* completed;
};

const Completion kCompletions[] = {
    {"FF0000", "FF0000FF"},
    {"FF0000:50", "FF00007F"},
    {"00FF00:20", "00FF0033"},
    {"0000FF:100", "0000FFFF"},
    {"FF0000:ABC", "FF000000"},
    {"12:34:56", "12FF"},
    {"FF0000:", "FF000000"},
    {"FF0000:150", "FF000017E"},
    {"FF0000:140", "FF0000164"}, // single precision: 356, where double precision gives 357
    {"FF0000:-10", "FF0000FFFFFFE7"},
    {"FF000080:50", "FF0000807F"},
    {"FF0000:1E39", "FF00007FFFFFFF"},
    {"FF0000:-1E39", "FF000080000000"},
    {":", "00"},
    {"::", "FF"},
};

TEST_P(ColorCodecLocaleTest, CompletionWithAlphaByte) {
    for (const Completion& row : kCompletions) {
        SCOPED_TRACE(row.normalized);
        EXPECT_EQ(str(Codec::completedHex(QString::fromUtf8(row.normalized))), row.completed);
    }
}

struct PercentToByte {
    float percent;
    int byte;
};

// Truncation, so 50 gives 7F; single precision, so 70 gives B2 and not B3.
const PercentToByte kPercents[] = {
    {0, 0x00},  {0.5f, 0x01}, {1, 0x02},  {10, 0x19}, {12.5f, 0x1F}, {20, 0x33},  {25, 0x3F},
    {50, 0x7F}, {70, 0xB2},   {75, 0xBF}, {90, 0xE5}, {99, 0xFC},    {100, 0xFF},
};

TEST_P(ColorCodecLocaleTest, PercentageToAlphaByte) {
    for (const PercentToByte& row : kPercents) {
        SCOPED_TRACE(row.percent);
        EXPECT_EQ(Codec::alphaByteFromPercent(row.percent), row.byte);
        const QString hex = QStringLiteral("#000000:") + QString::number(row.percent);
        EXPECT_EQ(Codec::colorFromHex(hex, true).alpha, row.byte / 255.0);
    }
}

TEST(QEVColorCodec, PercentageOutsideTheBytesSaturates) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(Codec::alphaByteFromPercent(150), 382);
    EXPECT_EQ(Codec::alphaByteFromPercent(-10), -25);
    EXPECT_EQ(Codec::alphaByteFromPercent(inf), std::numeric_limits<qint32>::max());
    EXPECT_EQ(Codec::alphaByteFromPercent(-inf), std::numeric_limits<qint32>::min());
    EXPECT_EQ(Codec::alphaByteFromPercent(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(Codec::alphaByteFromPercent(1e12f), std::numeric_limits<qint32>::max());
}

struct ColorToText {
    QEVColor color;
    const char* withAlpha;
    const char* withoutAlpha;
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

const ColorToText kColorToText[] = {
    {{1, 0, 0, 1}, "#FF0000FF", "#FF0000"},
    {{1, 0, 0, 0.5}, "#FF00007F", "#FF0000"},
    {{0, 0.5, 1, 1}, "#007FFFFF", "#007FFF"},
    {{0.2, 0.4, 0.6, 1}, "#336699FF", "#336699"},
    {{128 / 255.0, 0, 0, 1}, "#800000FF", "#800000"},
    {{0.999, 0, 0, 0}, "#FE000000", "#FE0000"},
    {{10 / 255.0, 11 / 255.0, 12 / 255.0, 13 / 255.0}, "#0A0B0C0D", "#0A0B0C"},
    // Outside 0..1: the byte's 32-bit pattern, three digits above, eight below.
    {{1.5, 0, 0, 1}, "#17E0000FF", "#17E0000"},
    {{-0.1, 0, 0, 1}, "#FFFFFFE70000FF", "#FFFFFFE70000"},
    {{-0.0, 0, 0, 1}, "#000000FF", "#000000"},
    {{kNaN, kInf, -kInf, 1}, "#007FFFFFFF80000000FF", "#007FFFFFFF80000000"},
    {{1e300, 0, 0, 1}, "#7FFFFFFF0000FF", "#7FFFFFFF0000"},
    // The alpha never shows without the flag, whatever it holds.
    {{1, 0, 0, 1.5}, "#FF000017E", "#FF0000"},
    {{1, 0, 0, -0.1}, "#FF0000FFFFFFE7", "#FF0000"},
    {{1, 0, 0, kNaN}, "#FF000000", "#FF0000"},
};

TEST_P(ColorCodecLocaleTest, ColourToText) {
    for (const ColorToText& row : kColorToText) {
        SCOPED_TRACE(row.withAlpha);
        EXPECT_EQ(str(Codec::hexFromColor(row.color, true)), row.withAlpha);
        EXPECT_EQ(str(Codec::hexFromColor(row.color, false)), row.withoutAlpha);
    }
}

struct TextToDisplay {
    const char* input;
    const char* display;
};

const TextToDisplay kTextToDisplay[] = {
    {"#FF0000", "#FF0000"},
    {"ff0000", "#FF0000"},
    {"#FF0000FF", "#FF0000:1.00"},
    {"#FF000080", "#FF0000:0.50"},
    {"#FF00007F", "#FF0000:0.50"},
    {"#FF000002", "#FF0000:0.01"},
    {"#FF000000", "#FF0000:0.00"},
    {"#ff0000:50", "#FF0000:50"},
    {"#FF0000:50:7", "#FF0000:50"},
    {"F00", "#F:0.00"},
    // The percentage is shown as typed (upper case, like the rest).
    {"#FF0000:", "#FF0000:"},
    {"#FF0000:abc", "#FF0000:ABC"},
    {"#FF0000:12.5", "#FF0000:12.5"},
    {"12:34:56", "#12:34"},
    {"##FF#0000", "#FF0000"},
    {" FF0000", "# FF00:0.00"},
    {"0xff0000", "#0XFF00:0.00"},
    {"FF000017E", "#FF00001:1.00"},
    {"F0", "#:0.94"},
    // Shorter than two characters: the colour it reads as, in the eight-digit display form.
    {"", "#000000:0.00"},
    {"#", "#000000:0.00"},
    {"##", "#000000:0.00"},
    {"F", "#000000:0.06"},
    {"f", "#000000:0.06"},
    {"Z", "#000000:0.00"},
};

TEST_P(ColorCodecLocaleTest, TextToDisplayText) {
    for (const TextToDisplay& row : kTextToDisplay) {
        SCOPED_TRACE(row.input);
        EXPECT_EQ(str(Codec::legibleStringFromHex(QString::fromUtf8(row.input))), row.display);
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, ColorCodecLocaleTest,
                         testing::Values(TestLocale::C, TestLocale::DecimalComma), localeName);

TEST(QEVColorCodec, AbsentValueReadsAsTheEmptyText) {
    const QString absent;
    ASSERT_TRUE(absent.isNull());
    EXPECT_EQ(Codec::colorFromHex(absent, false), colorOfBytes(0, 0, 0, 255));
    EXPECT_EQ(Codec::colorFromHex(absent, true), colorOfBytes(0, 0, 0, 0));
    EXPECT_EQ(str(Codec::legibleStringFromHex(absent)), "#000000:0.00");
}

TEST(QEVColorCodec, ShortTextDisplayNamesTheSwatchColour) {
    for (const char* input : {"", "#", "1", "F", "a", "#7"}) {
        SCOPED_TRACE(input);
        const QString hex = QString::fromUtf8(input);
        const QEVColor swatch = Codec::colorFromHex(hex, true);
        const QString digits = Codec::hexFromColor(swatch, false).mid(1);
        EXPECT_EQ(Codec::legibleStringFromHex(hex),
                  QStringLiteral("#%1:%2").arg(digits).arg(swatch.alpha, 0, 'f', 2));
    }
}

TEST(QEVColorCodec, ToQColorClampsForDrawing) {
    const QEVColor outOfRange{1.5, -0.2, kNaN, 0.5};
    const QColor drawn = outOfRange.toQColor();
    EXPECT_EQ(drawn.red(), 255);
    EXPECT_EQ(drawn.green(), 0);
    EXPECT_EQ(drawn.blue(), 0);
    EXPECT_EQ(drawn.alpha(), 128);
    const QEVColor swatch{0.2, 0.4, 0.6, 1};
    EXPECT_EQ(swatch.toQColor(), QColor(51, 102, 153));
}

} // namespace
