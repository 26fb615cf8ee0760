#include "common/Files.h"
#include "common/HostileShapes.h"
#include "common/TestName.h"

#include "foundation/PropertyList.h"
#include "foundation/StringsTable.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {

std::vector<HostileShape> allShapes() {
    std::vector<HostileShape> shapes = hostileShapes("a");
    for (HostileShape& text : hostileStringsTexts())
        shapes.push_back(text);
    return shapes;
}

class Hostile : public testing::TestWithParam<HostileShape> {};

// Each shape as a file where it goes: a property list is read as a whole dictionary (keeping
// its other entries) or not at all, and is no strings table unless it is readable; strings text
// gives the whole table or nothing.
TEST_P(Hostile, IsReadWholeOrNotAtAll) {
    const HostileShape& shape = GetParam();
    const QByteArray bytes = shape.bytes();
    const QHash<QString, QString> table = StringsTable::parse(bytes);
    if (shape.kind == HostileKind::StringsText) {
        const QHash<QString, QString> translated{
            {"Hello", "Hallo"}, {"World", "Welt"}, {"Footer", QString::fromUtf8("Fußzeile")}};
        EXPECT_EQ(table, (shape.readable ? translated : QHash<QString, QString>()));
        return;
    }
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("prefs.plist"), bytes));
    const std::optional<QVariantMap> read =
        PropertyList::readDictionary(dir.filePath("prefs.plist"));
    ASSERT_EQ(read.has_value(), shape.readable);
    if (read) {
        EXPECT_EQ(read->value("other"), "kept");
    } else {
        EXPECT_TRUE(table.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Hostile, testing::ValuesIn(allShapes()),
                         [](const auto& info) { return testName(info.param.name); });

// Scalars in XML read exactly or make the document malformed; none is made up.
TEST(PropertyListScalars, ReadExactlyOrRefused) {
    const struct {
        const char* element;
        const char* text;
        QVariant expected; // invalid: refused
    } cases[] = {
        {"integer", " -7 ", qint64(-7)},
        {"integer", "+5", qint64(5)},
        {"integer", "0x10", qint64(16)},
        {"integer", "-9223372036854775808", std::numeric_limits<qint64>::min()},
        {"integer", "18446744073709551615", std::numeric_limits<quint64>::max()},
        {"integer", "-9223372036854775809", {}},
        {"integer", "-18446744073709551615", {}},
        {"integer", "12abc", {}},
        {"integer", "", {}},
        {"integer", "010", {}},
        {"integer", "1.5", {}},
        {"real", "-2.5e-3", -2.5e-3},
        {"real", ".5", 0.5},
        {"real", "+infinity", HUGE_VAL},
        {"real", "1,5", {}},
        {"real", "1e", {}},
        {"date", "1969-07-20T20:17:40Z", QDateTime(QDate(1969, 7, 20), QTime(20, 17, 40), Qt::UTC)},
        {"date", "2001-02-30T00:00:00Z", {}},
        {"date", "2001-01-01T24:00:00Z", {}},
        {"date", "2001-01-01 00:00:00", {}},
        {"data", " QUJD\n REVG\n", QByteArray("ABCDEF")},
        {"data", "", QByteArray()},
        {"data", "AAE", {}},
        {"data", "AAEC====AAEC", {}},
        {"data", "&#65;AEC", {}},
    };
    for (const auto& c : cases) {
        const QByteArray xml =
            QByteArray("<plist><") + c.element + ">" + c.text + "</" + c.element + "></plist>";
        SCOPED_TRACE(xml.constData());
        const std::optional<QVariant> value = PropertyList::parse(xml);
        ASSERT_EQ(value.has_value(), c.expected.isValid());
        if (value) {
            EXPECT_EQ(value->typeId(), c.expected.typeId());
            EXPECT_EQ(*value, c.expected);
        }
    }
}

// Only a regular file of sane size is read, and it is read to its end whatever size it
// reports: a kernel file reports 0, and a file may grow after its size is taken.
TEST(PropertyListFiles, OnlyRegularFilesAreReadAndReadWhole) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo"), huge = dir.filePath("huge.plist");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0); // must not block
    ASSERT_TRUE(QDir().mkdir(dir.filePath("sub.plist")));
    const QByteArray xml = PropertyList::toXml(QVariantMap{{"k", 1}});
    ASSERT_TRUE(writeFile(huge, xml));
    ASSERT_TRUE(QFile(huge).resize(PropertyList::maxFileSize + 1)); // sparse
    for (const QString& path :
         {dir.filePath("missing"), fifo, dir.filePath("sub.plist"), huge, QString()}) {
        EXPECT_FALSE(PropertyList::readBytes(path).has_value()) << path.toStdString();
    }
    const QByteArray large(5 * 1024 * 1024, 'x');
    ASSERT_TRUE(writeFile(dir.filePath("large"), large));
    EXPECT_EQ(PropertyList::readBytes(dir.filePath("large")), large);
    const std::optional<QByteArray> status = PropertyList::readBytes("/proc/self/status");
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(status->contains("\nVmPeak:")) << status->left(40).toStdString();
}

} // namespace
