#include "common/LocaleScope.h"

#include "foundation/TextRules.h"

#include <QDateTime>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Every rule runs under a decimal comma, so a rule that leans on the process locale fails.
class TextRulesTest : public testing::Test {
protected:
    LocaleScope comma{LocaleScope::DecimalComma{}};
};

// One text as each rule reads it: floatValue takes the longest leading decimal number,
// longLongValue the leading integer (saturating), scanHexInt the leading hexadecimal digits
// after an optional 0x (all bits set on overflow); blanks first, and 0 for nothing.
TEST_F(TextRulesTest, NumbersAreReadFromTheStartOfATextOnly) {
    constexpr qint64 max = std::numeric_limits<qint64>::max(), min = -max - 1;
    constexpr float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* text;
        float floatValue;
        qint64 longLongValue;
        quint32 scanHexInt;
    } cases[] = {
        {"", 0, 0, 0},
        {"abc", 0, 0, 0xABC},
        {"12.5abc", 12.5f, 12, 0x12},
        {" \t\n 3.25", 3.25f, 3, 3},
        {"-2.5", -2.5f, -2, 0},
        {"+7", 7, 7, 0},
        {".5", 0.5f, 0, 0},
        {"1e3", 1000, 1, 0x1E3},
        {"- 1", 0, 0, 0},
        {"12FF:7", 12, 12, 0x12FF},
        {"100000000", 1e8f, 100000000, 0xFFFFFFFF},
        {"9223372036854775808", 9223372036854775808.0f, max, 0xFFFFFFFF},
        {"-9223372036854775808", -9223372036854775808.0f, min, 0},
        {"1e999", inf, 1, 0x1E999},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(TextRules::floatValue(text), c.floatValue) << c.text;
        EXPECT_EQ(TextRules::longLongValue(text), c.longLongValue) << c.text;
        EXPECT_EQ(TextRules::scanHexInt(text), c.scanHexInt) << c.text;
    }
}

TEST_F(TextRulesTest, DecimalTextGivesZeroForEveryZeroNumber) {
    const struct {
        QVariant value;
        QString expected; // null: no decimal text
    } cases[] = {
        {false, "0"},
        {-0.0, "0"},
        {-3, "-3"},
        {0.5, "0.5"},
        {quint64(18446744073709551615ull), "18446744073709551615"},
        {"0.0", "0.0"},
        {QVariant(), {}},
        {QDateTime::fromSecsSinceEpoch(0), {}},
    };
    for (const auto& c : cases) {
        const QString text = TextRules::decimalText(c.value);
        EXPECT_EQ(text, c.expected) << c.value.toString().toStdString();
        EXPECT_EQ(text.isNull(), c.expected.isNull());
    }
}

} // namespace
