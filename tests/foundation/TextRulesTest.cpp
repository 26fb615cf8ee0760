#include "foundation/TextRules.h"

#include <QDateTime>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Runs every case under a locale whose decimal separator is a comma, when the machine has one,
// to show that none of the rules depends on it.
class TextRulesTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "C.UTF-8"}) {
            if (std::setlocale(LC_ALL, name))
                break;
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

struct FloatCase {
    const char* text;
    float expected;
};

TEST_F(TextRulesTest, FloatValueTakesTheLongestLeadingDecimalNumber) {
    const FloatCase cases[] = {
        {"", 0.0f},      {"abc", 0.0f}, {"12.5abc", 12.5f}, {"1,5", 1.0f}, {"  \t\n 3.25", 3.25f},
        {"-2.5", -2.5f}, {"+7", 7.0f},  {".5", 0.5f},       {"5.", 5.0f},  {"1e3", 1000.0f},
        {"1e", 1.0f},    {"1e+", 1.0f}, {"2E-2x", 0.02f},   {"-", 0.0f},   {".", 0.0f},
        {"nan", 0.0f},   {"inf", 0.0f}, {"0x1p3", 0.0f},    {"80", 80.0f}, {"0.1", 0.1f},
        {"- 1", 0.0f},   {"1 2", 1.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::floatValue(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST_F(TextRulesTest, FloatValueOverflowIsInfiniteAndNeverNaN) {
    EXPECT_TRUE(std::isinf(TextRules::floatValue(u"1e999")));
    EXPECT_LT(TextRules::floatValue(u"-1e999"), 0.0f);
    EXPECT_EQ(TextRules::floatValue(u"1e-999"), 0.0f);
}

struct IntegerCase {
    const char* text;
    qint64 expected;
};

TEST_F(TextRulesTest, LongLongValueReadsLeadingDigitsAndSaturates) {
    const IntegerCase cases[] = {
        {"", 0},
        {"x3", 0},
        {" 42abc", 42},
        {"-17", -17},
        {"+5", 5},
        {"3.9", 3},
        {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"9223372036854775808", std::numeric_limits<qint64>::max()},
        {"99999999999999999999999", std::numeric_limits<qint64>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
        {"-99999999999999999999999", std::numeric_limits<qint64>::min()},
        {"- 3", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::longLongValue(QString::fromUtf8(c.text)), c.expected) << c.text;
}

struct HexCase {
    const char* text;
    quint32 expected;
};

TEST_F(TextRulesTest, ScanHexIntFollowsTheScannerRules) {
    const HexCase cases[] = {
        {"", 0},
        {"ZZ", 0},
        {"FF0000FF", 0xFF0000FF},
        {"ff0000", 0xFF0000},
        {" FF0000", 0xFF0000},
        {"\n\tab", 0xAB},
        {"0xff0000", 0xFF0000},
        {"0XFF", 0xFF},
        {"0x", 0},
        {"12FF:7", 0x12FF},
        {"FFFFFFFF", 0xFFFFFFFF},
        {"100000000", 0xFFFFFFFF},
        {"FF0000807F", 0xFFFFFFFF},
        {"000000000001", 1},
        {"F00F", 0xF00F},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::scanHexInt(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST_F(TextRulesTest, DecimalTextGivesZeroForEveryZeroNumber) {
    const struct {
        QVariant value;
        QString expected;
    } cases[] = {
        {QVariant(false), "0"},
        {QVariant(true), "1"},
        {QVariant(0), "0"},
        {QVariant(qint64(0)), "0"},
        {QVariant(0.0), "0"},
        {QVariant(-0.0), "0"},
        {QVariant(1), "1"},
        {QVariant(-3), "-3"},
        {QVariant(2.5), "2.5"},
        {QVariant(quint64(18446744073709551615ull)), "18446744073709551615"},
        {QVariant(QStringLiteral("0")), "0"},
        {QVariant(QStringLiteral("0.0")), "0.0"},
        {QVariant(QStringLiteral(" 0")), " 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::decimalText(c.value), c.expected) << c.value.toString().toStdString();
    EXPECT_TRUE(TextRules::decimalText(QVariant()).isNull());
    EXPECT_TRUE(TextRules::decimalText(QVariant(QVariantList{0})).isNull());
    EXPECT_TRUE(TextRules::decimalText(QVariant(QDateTime::currentDateTimeUtc())).isNull());
}

TEST_F(TextRulesTest, Format02fUsesAFullStopWhateverTheLocale) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0.0, "0.00"},
        {1.5, "1.50"},
        {-2000.0, "-2000.00"},
        {0.005, "0.01"},
        {double(0.515f), "0.51"},
        {-0.001, "-0.00"},
        {12345.678, "12345.68"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextRules::format02f(c.value), QString::fromLatin1(c.expected)) << c.value;
}

} // namespace
