#include "common/TestName.h"
#include "foundation/PlistValue.h"
#include "foundation/PropertyList.h"
#include "foundation/XmlPropertyList.h"

#include <QDateTime>
#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cmath>
#include <limits>

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// The binary form libplist itself writes for `value`.
QByteArray binaryOf(const QVariant& value) {
    plist_t node = PlistValue::toNode(value);
    EXPECT_NE(node, nullptr);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    QByteArray result(bytes, qsizetype(length));
    free(bytes);
    plist_free(node);
    return result;
}

// Same type and same value; QVariant's own == converts between numeric types.
void expectSame(const QVariant& actual, const QVariant& expected) {
    ASSERT_EQ(actual.typeId(), expected.typeId())
        << actual.typeName() << " vs " << expected.typeName();
    if (expected.typeId() == QMetaType::Double && std::isnan(expected.toDouble())) {
        EXPECT_TRUE(std::isnan(actual.toDouble()));
        return;
    }
    if (expected.typeId() == QMetaType::QDateTime) {
        EXPECT_EQ(actual.toDateTime().toMSecsSinceEpoch(),
                  expected.toDateTime().toMSecsSinceEpoch());
        return;
    }
    EXPECT_EQ(actual, expected);
}

struct Case {
    const char* name;
    QVariant value;
};

std::vector<Case> scalarCases() {
    return {
        {"true", true},
        {"false", false},
        {"zero", qint64(0)},
        {"negative", qint64(-5)},
        {"int64 min", std::numeric_limits<qint64>::min()},
        {"int64 max", std::numeric_limits<qint64>::max()},
        {"just above 32 bits", qint64(4294967296LL)},
        {"uint64 above int64", quint64(9223372036854775808ULL)},
        {"uint64 max", std::numeric_limits<quint64>::max()},
        {"real tenth", 0.1},
        {"real third", 1.0 / 3.0},
        {"real tiny", 5e-324},
        {"real huge", 1.7976931348623157e308},
        {"real negative", -2.5e-10},
        {"real infinity", std::numeric_limits<double>::infinity()},
        {"real minus infinity", -std::numeric_limits<double>::infinity()},
        {"real nan", std::numeric_limits<double>::quiet_NaN()},
        {"string empty", QString("")},
        {"string chinese", QString::fromUtf8("您确定要执行 注销 操作吗？")},
        {"string emoji", QString::fromUtf8("a😀b")},
        {"string markup", QString("<tag> & \"quote\" 'apos' ]]>")},
        {"string whitespace", QString("  lead\ttab\nline  ")},
        {"data empty", QByteArray()},
        {"data bytes", QByteArray("\x00\x01\xff\x80 binary", 12)},
        {"date reference", utc(2001, 1, 1)},
        {"date recent", utc(2024, 2, 29, 23, 59, 59)},
        {"date before 1970", utc(1901, 12, 13, 20, 45, 52)},
        {"date beyond int32 seconds", utc(2100, 6, 1, 12)},
        {"date year 1", utc(1, 1, 1)},
        {"date year 9999", utc(9999, 12, 31, 23, 59, 59)},
    };
}

QVariant nested() {
    QVariantMap inner{{QString::fromUtf8("键"), QString::fromUtf8("值")},
                      {"list", QVariantList{qint64(1), 2.5, QString("x"), QVariantList{}}}};
    return QVariantMap{{"inner", inner}, {"empty", QVariantMap{}}, {"flag", false}};
}

class ScalarRoundTrip : public testing::TestWithParam<Case> {};

// XML is read by XmlPropertyList, dates and data by libplist.
TEST_P(ScalarRoundTrip, SurvivesXml) {
    const QVariant& value = GetParam().value;
    const QByteArray xml = PropertyList::toXml(value);
    ASSERT_FALSE(xml.isEmpty());
    std::optional<QVariant> back = PropertyList::parse(xml);
    ASSERT_TRUE(back.has_value()) << xml.constData();
    expectSame(*back, value);
    const int type = value.typeId();
    EXPECT_EQ(XmlPropertyList::read(xml) == nullptr,
              type == QMetaType::QDateTime || type == QMetaType::QByteArray);
}

TEST_P(ScalarRoundTrip, SurvivesBinary) {
    const QVariant& value = GetParam().value;
    std::optional<QVariant> back = PropertyList::parse(binaryOf(value));
    ASSERT_TRUE(back.has_value());
    expectSame(*back, value);
}

TEST_P(ScalarRoundTrip, SurvivesFileInDictionary) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    const QVariantMap dict{{QString::fromUtf8("ключ"), GetParam().value}};
    ASSERT_TRUE(PropertyList::writeDictionary(dict, path).ok);
    std::optional<QVariantMap> back = PropertyList::readDictionary(path);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->size(), 1);
    expectSame(back->first(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(PlistValue, ScalarRoundTrip, testing::ValuesIn(scalarCases()),
                         [](const auto& info) { return testName(info.param.name); });

TEST(PlistValue, NestedContainersSurviveXmlAndBinary) {
    EXPECT_EQ(PropertyList::parse(PropertyList::toXml(nested())), nested());
    EXPECT_EQ(PropertyList::parse(binaryOf(nested())), nested());
    // A long list keeps its order, with a failing item at the end still failing the whole.
    QVariantList many;
    for (int i = 0; i < 3000; ++i)
        many.append(QVariantMap{{"row", i}});
    EXPECT_EQ(PropertyList::parse(binaryOf(many)), QVariant(many));
    EXPECT_EQ(PropertyList::parse(PropertyList::toXml(many)), QVariant(many));
    QByteArray broken = PropertyList::toXml(QVariantList{1, QString("x")});
    broken.replace("<string>x</string>", "<string>\xff</string>");
    EXPECT_FALSE(PropertyList::parse(broken).has_value());
}

TEST(PlistValue, BinaryDateKeepsMillisecondsAndNegativeFractions) {
    // libplist's own date getter turns -0.5 s into +0.5 s; the exact stored value must win.
    for (const QDateTime& date : {utc(2000, 12, 31, 23, 59, 59, 500), utc(2001, 1, 1, 0, 0, 0, 1),
                                  utc(1850, 3, 4, 5, 6, 7, 890)}) {
        std::optional<QVariant> back = PropertyList::parse(binaryOf(date));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->toDateTime(), date) << date.toString(Qt::ISODateWithMs).toStdString();
    }
}

TEST(PlistValue, QtIntegerTypesWriteAsIntegers) {
    const std::vector<std::pair<QVariant, QVariant>> cases = {
        {QVariant(int(-7)), QVariant(qint64(-7))},
        {QVariant(uint(4000000000u)), QVariant(qint64(4000000000LL))},
        {QVariant(quint64(12)), QVariant(qint64(12))},
        {QVariant(float(0.5f)), QVariant(0.5)},
        {QVariant(QStringList{"a", "b"}), QVariant(QVariantList{QString("a"), QString("b")})},
        {QVariant(QVariantHash{{"k", true}}), QVariant(QVariantMap{{"k", true}})},
    };
    for (const auto& [written, read] : cases) {
        std::optional<QVariant> back = PropertyList::parse(PropertyList::toXml(written));
        ASSERT_TRUE(back.has_value());
        expectSame(*back, read);
    }
}

TEST(PlistValue, UnrepresentableValuesGiveNoXml) {
    const std::vector<QVariant> cases = {
        QVariant(),
        QVariant::fromValue(QSize(1, 2)),
        QVariant(QDateTime()),
        QVariant(utc(9999, 12, 31).addDays(2)),
        QVariant(QString::fromLatin1("nul\0inside", 10)),
        QVariant(QVariantMap{{QString::fromLatin1("k\0ey", 4), 1}}),
        QVariant(QVariantList{1, QVariant::fromValue(QSize())}),
    };
    for (const QVariant& value : cases)
        EXPECT_TRUE(PropertyList::toXml(value).isEmpty()) << value.typeName();
}

TEST(PlistValue, DepthLimitAppliesBothWays) {
    auto deepList = [](int depth) {
        QVariant value = QVariantList{};
        for (int i = 0; i < depth; ++i)
            value = QVariantList{value};
        return value;
    };
    EXPECT_FALSE(PropertyList::toXml(deepList(PlistValue::maxDepth)).isEmpty());
    EXPECT_TRUE(PropertyList::toXml(deepList(PlistValue::maxDepth + 1)).isEmpty());
}

} // namespace

namespace {

TEST(PlistValue, XmlDatesKeepTheSecondTheyFallIn) {
    // XML holds whole seconds; a fraction is dropped, never rounded into the next second.
    const std::vector<std::pair<QDateTime, QDateTime>> cases = {
        {utc(2000, 12, 31, 23, 59, 59, 500), utc(2000, 12, 31, 23, 59, 59)},
        {utc(1969, 12, 31, 23, 59, 59, 999), utc(1969, 12, 31, 23, 59, 59)},
        {utc(2024, 1, 1, 0, 0, 0, 999), utc(2024, 1, 1)},
    };
    for (const auto& [written, read] : cases) {
        std::optional<QVariant> back = PropertyList::parse(PropertyList::toXml(written));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->toDateTime(), read) << written.toString(Qt::ISODateWithMs).toStdString();
    }
}

} // namespace
