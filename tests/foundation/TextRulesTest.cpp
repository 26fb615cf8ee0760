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

TEST_F(TextRulesTest, FloatValueTakesTheLongestLeadingDecimalNumber) {
    const struct {
        const char* text;
        float expected;
    } cases[] = {
        {"", 0.0f},      {"abc", 0.0f},    {"12.5abc", 12.5f}, {"1,5", 1.0f}, {" \t\n 3.25", 3.25f},
        {"-2.5", -2.5f}, {"+7", 7.0f},     {".5", 0.5f},       {"5.", 5.0f},  {"1e3", 1000.0f},
        {"1e+", 1.0f},   {"2E-2x", 0.02f}, {"-", 0.0f},        {"nan", 0.0f}, {"inf", 0.0f},
        {"0x1p3", 0.0f}, {"- 1", 0.0f},    {"1e-999", 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::floatValue(QString::fromUtf8(c.text)), c.expected) << c.text;
    EXPECT_EQ(TextRules::floatValue(u"1e999"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(TextRules::floatValue(u"-1e999"), -std::numeric_limits<float>::infinity());
}

TEST_F(TextRulesTest, LongLongValueReadsLeadingDigitsAndSaturates) {
    const struct {
        const char* text;
        qint64 expected;
    } cases[] = {
        {"", 0},
        {"x3", 0},
        {" 42abc", 42},
        {"-17", -17},
        {"+5", 5},
        {"3.9", 3},
        {"- 3", 0},
        {"9223372036854775808", std::numeric_limits<qint64>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
        {"-99999999999999999999999", std::numeric_limits<qint64>::min()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::longLongValue(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST_F(TextRulesTest, ScanHexIntFollowsTheScannerRules) {
    const struct {
        const char* text;
        quint32 expected;
    } cases[] = {
        {"", 0},
        {"ZZ", 0},
        {"ff0000", 0xFF0000},
        {"\n\tab", 0xAB},
        {"0XFF", 0xFF},
        {"0x", 0},
        {"12FF:7", 0x12FF},
        {"FFFFFFFF", 0xFFFFFFFF},
        {"100000000", 0xFFFFFFFF},
        {"000000000001", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::scanHexInt(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST_F(TextRulesTest, DecimalTextGivesZeroForEveryZeroNumber) {
    const struct {
        QVariant value;
        QString expected; // null: no decimal text
    } cases[] = {
        {false, "0"},
        {true, "1"},
        {qint64(0), "0"},
        {-0.0, "0"},
        {-3, "-3"},
        {2.5, "2.5"},
        {0.5, "0.5"},
        {quint64(18446744073709551615ull), "18446744073709551615"},
        {"0.0", "0.0"},
        {" 0", " 0"},
        {QVariant(), {}},
        {QVariantList{0}, {}},
        {QDateTime::fromSecsSinceEpoch(0), {}},
    };
    for (const auto& c : cases) {
        const QString text = TextRules::decimalText(c.value);
        EXPECT_EQ(text, c.expected) << c.value.toString().toStdString();
        EXPECT_EQ(text.isNull(), c.expected.isNull());
    }
}

TEST_F(TextRulesTest, Format02fUsesAFullStop) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {{1.5, "1.50"},     {-2000.0, "-2000.00"},
                 {0.005, "0.01"},   {double(0.515f), "0.51"},
                 {-0.001, "-0.00"}, {12345.678, "12345.68"}};
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::format02f(c.value), QString::fromLatin1(c.expected)) << c.value;
}

} // namespace
