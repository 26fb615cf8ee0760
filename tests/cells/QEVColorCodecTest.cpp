#include "common/LocaleScope.h"
#include "common/QtPrinters.h"

#include "cells/QEVColorCodec.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>

inline void PrintTo(const QEVColor& c, std::ostream* os) {
    *os << "(" << c.red * 255.0 << ", " << c.green * 255.0 << ", " << c.blue * 255.0 << ", "
        << c.alpha * 255.0 << ")/255";
}

namespace {

using Codec = QEVColorCodec;

QEVColor bytes(int r, int g, int b, int a) {
    return {r / 255.0, g / 255.0, b / 255.0, a / 255.0};
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Every table runs in the C locale and under a decimal comma (C library and Qt): the codec's
// percentages and bytes must not depend on the locale's decimal point.
class QEVColorCodecTable : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam())
            _comma.emplace(LocaleScope::DecimalComma{});
    }
    void TearDown() override { _comma.reset(); }

private:
    std::optional<LocaleScope> _comma;
};

TEST_P(QEVColorCodecTable, TextToColour) {
    const struct {
        const char* input;
        bool alpha;
        QEVColor color;
    } rows[] = {
        {"#FF0000", true, bytes(255, 0, 0, 255)},
        {"#ff000080", true, bytes(255, 0, 0, 128)},
        {"#FF000080", false, bytes(255, 0, 0, 255)}, // alpha only when the row honours it
        {"FF0000:50", true, bytes(255, 0, 0, 127)},  // percentages truncate
        {"#00FF00:20", true, bytes(0, 255, 0, 51)},
        {"#FF0000:abc", true, bytes(255, 0, 0, 0)},
        {"#FF0000:5e1", true, bytes(255, 0, 0, 127)},
        {"F00", true, bytes(0, 0, 15, 0)}, // short forms are not expanded
        {"", true, bytes(0, 0, 0, 0)},
        {"", false, bytes(0, 0, 0, 255)},
        {"FF#00#00", true, bytes(255, 0, 0, 255)},        // every "#" goes
        {"0xff0000", true, bytes(0, 255, 0, 0)},          // a prefix counts toward the length
        {"#FF0000:150", true, bytes(255, 255, 255, 255)}, // a byte past 255 saturates
        {"#11223344 trailing", true, bytes(17, 34, 51, 68)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.input) + (row.alpha ? " alpha" : " opaque"));
        EXPECT_EQ(Codec::colorFromHex(QString::fromUtf8(row.input), row.alpha), row.color);
    }
    EXPECT_EQ(Codec::colorFromHex(QString(), true), bytes(0, 0, 0, 0)); // nothing stored
}

TEST_P(QEVColorCodecTable, PercentToAlphaByte) {
    // Truncated in single precision: 50 gives 7F, 70 gives B2 (not B3); outside, saturated.
    const struct {
        float percent;
        qint32 byte;
    } rows[] = {{0, 0x00},
                {0.5f, 0x01},
                {12.5f, 0x1F},
                {50, 0x7F},
                {70, 0xB2},
                {100, 0xFF},
                {150, 382},
                {-10, -25},
                {std::numeric_limits<float>::infinity(), std::numeric_limits<qint32>::max()},
                {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.percent);
        EXPECT_EQ(Codec::alphaByteFromPercent(row.percent), row.byte);
    }
    EXPECT_EQ(Codec::completedHex("FF0000:140").toStdString(), "FF0000164"); // 356, not 357
}

TEST_P(QEVColorCodecTable, ColourToText) {
    const struct {
        QEVColor color;
        const char* withAlpha;
        const char* withoutAlpha;
    } rows[] = {
        {{1, 0, 0, 0.5}, "#FF00007F", "#FF0000"},
        {{0, 0.5, 1, 1}, "#007FFFFF", "#007FFF"}, // truncated, not rounded
        {{0.2, 0.4, 0.6, 1}, "#336699FF", "#336699"},
        {{0.999, 0, 0, 0}, "#FE000000", "#FE0000"},
        {{1.5, 0, 0, 1}, "#17E0000FF", "#17E0000"}, // out of range: the byte's pattern
        {{-0.1, 0, 0, 1}, "#FFFFFFE70000FF", "#FFFFFFE70000"},
        {{kNaN, kInf, -kInf, 1}, "#007FFFFFFF80000000FF", "#007FFFFFFF80000000"},
        {{1, 0, 0, kNaN}, "#FF000000", "#FF0000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.withAlpha);
        EXPECT_EQ(Codec::hexFromColor(row.color, true).toStdString(), row.withAlpha);
        EXPECT_EQ(Codec::hexFromColor(row.color, false).toStdString(), row.withoutAlpha);
    }
    for (int k = 0; k < 256; ++k) // every byte formats back to itself
        ASSERT_EQ(Codec::byteFromComponent(k / 255.0), k);
}

// The text shown under a row's title: the digits and the opacity as a fraction, or the
// percentage as written.
TEST_P(QEVColorCodecTable, TextToLegibleText) {
    const struct {
        const char* input;
        const char* shown;
    } rows[] = {
        {"ff0000", "#FF0000"},          {"#FF0000FF", "#FF0000:1.00"},
        {"#FF000080", "#FF0000:0.50"},  {"#FF000002", "#FF0000:0.01"},
        {"#ff0000:50", "#FF0000:50"},   {"#FF0000:12.5", "#FF0000:12.5"},
        {"#FF0000:50:7", "#FF0000:50"}, {"F00", "#F:0.00"},
        {"FF000017E", "#FF00001:1.00"}, {"F0", "#:0.94"},
        {"", "#000000:0.00"},           {"F", "#000000:0.06"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        EXPECT_EQ(Codec::legibleStringFromHex(QString::fromUtf8(row.input)).toStdString(),
                  row.shown);
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, QEVColorCodecTable, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "DecimalComma" : "C"; });

} // namespace
