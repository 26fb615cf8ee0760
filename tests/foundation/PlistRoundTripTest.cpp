#include "common/LibplistBinary.h"
#include "common/LocaleScope.h"

#include "foundation/PlistValue.h"
#include "foundation/PropertyList.h"

#include <QDateTime>
#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// Same type and same value (QVariant's own == converts between numeric types).
testing::AssertionResult same(const std::optional<QVariant>& actual, const QVariant& expected) {
    if (!actual)
        return testing::AssertionFailure() << "nothing read";
    bool equal = actual->typeId() == expected.typeId() && *actual == expected;
    if (expected.typeId() == QMetaType::Double && std::isnan(expected.toDouble()))
        equal = std::isnan(actual->toDouble());
    if (expected.typeId() == QMetaType::QDateTime)
        equal =
            actual->toDateTime().toMSecsSinceEpoch() == expected.toDateTime().toMSecsSinceEpoch();
    if (equal)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << actual->typeName() << "(" << actual->toString().toStdString() << ") read back";
}

struct Trip {
    const char* name;
    QVariant written;
    QVariant xml;    // what XML and the file give back; invalid: the value cannot be written
    QVariant binary; // what binary gives back
};

Trip trip(const char* name, const QVariant& value) {
    return {name, value, value, value};
}

QVariant nested(int depth) {
    QVariant value = QVariantList{};
    for (int i = 0; i < depth; ++i)
        value = QVariantList{value};
    return value;
}

std::vector<Trip> trips() {
    const QDateTime halfSecond = utc(2000, 12, 31, 23, 59, 59, 500);
    const QDateTime beforeEpoch = utc(1969, 12, 31, 23, 59, 59, 999);
    return {
        trip("integer min", std::numeric_limits<qint64>::min()),
        trip("unsigned above int64", quint64(9223372036854775808ULL)),
        trip("unsigned max", std::numeric_limits<quint64>::max()),
        trip("real minus infinity", -std::numeric_limits<double>::infinity()),
        trip("real nan", std::numeric_limits<double>::quiet_NaN()),
        trip("string chinese", QString::fromUtf8("您确定要执行 注销 操作吗？")),
        trip("string markup", QString("<tag> & \"quote\" 'apos' ]]>")),
        trip("data", QByteArray("\x00\x01\xff\x80 binary", 12)),
        trip("date before 1901", utc(1850, 3, 4, 5, 6, 7)),
        // XML keeps whole seconds: a fraction is dropped, never rounded into the next second.
        {"date with a fraction", halfSecond, utc(2000, 12, 31, 23, 59, 59), halfSecond},
        {"date with a fraction before 1970", beforeEpoch, utc(1969, 12, 31, 23, 59, 59),
         beforeEpoch},
        // A date sends the whole document through libplist, reals and all.
        trip("real beside a date", QVariantMap{{"r", 1.5}, {"d", utc(2001, 1, 1)}}),
        {"float", 0.5f, 0.5, 0.5},
        trip(
            "nested",
            QVariantMap{{"inner", QVariantMap{{QString::fromUtf8("键"), QString::fromUtf8("值")},
                                              {"list", QVariantList{1, 2.5, "x", QVariantList{}}}}},
                        {"empty", QVariantMap{}}}),
        trip("nested to the depth limit", QVariantMap{{"in", nested(PlistValue::maxDepth - 1)}}),
        {"nested past the depth limit", QVariantMap{{"in", nested(PlistValue::maxDepth)}}, {}, {}},
        {"date past year 9999", utc(9999, 12, 31).addDays(2), {}, {}},
        {"nul in a string", QString::fromLatin1("nul\0inside", 10), {}, {}},
        {"unwritable item", QVariantList{1, QSize()}, {}, {}},
    };
}

// Every value through XML, binary and a preference file, under the C locale and under a decimal
// comma (libplist reads and writes reals with the C library, which follows LC_NUMERIC).
TEST(PropertyListRoundTrip, EveryValueComesBackAsItWasOrIsRefused) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    for (bool comma : {false, true}) {
        std::optional<LocaleScope> locale;
        if (comma)
            locale.emplace(LocaleScope::DecimalComma{});
        for (const Trip& t : trips()) {
            SCOPED_TRACE(testing::Message() << t.name << (comma ? ", decimal comma" : ""));
            const QByteArray xml = PropertyList::toXml(t.written);
            // A dictionary is the file; anything else is an entry in it.
            const QVariantMap file = t.written.typeId() == QMetaType::QVariantMap
                                         ? t.written.toMap()
                                         : QVariantMap{{"v", t.written}};
            const bool written = PropertyList::writeDictionary(file, path).ok;
            EXPECT_EQ(!xml.isEmpty(), t.xml.isValid()) << xml.constData();
            EXPECT_EQ(written, t.xml.isValid());
            EXPECT_EQ(libplistBinary(t.written).isEmpty(), !t.binary.isValid());
            if (!t.xml.isValid())
                continue;
            EXPECT_TRUE(same(PropertyList::parse(xml), t.xml)) << xml.constData();
            const QVariantMap read = PropertyList::readDictionary(path).value_or(QVariantMap());
            EXPECT_TRUE(same(file.contains("v") ? read.value("v") : QVariant(read), t.xml));
            EXPECT_TRUE(same(PropertyList::parse(libplistBinary(t.written)), t.binary));
        }
        EXPECT_TRUE(PropertyList::toXml(2.25).contains("<real>2.25</real>"));
    }
}

} // namespace
