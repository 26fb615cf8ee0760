#include "common/Files.h"

#include "foundation/PropertyList.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {

// Scalars in XML read exactly or make the document malformed; none is made up.
TEST(PropertyListScalars, ReadExactlyOrRefused) {
    const struct {
        const char* element;
        const char* text;
        QVariant expected; // invalid: refused
    } cases[] = {
        {"integer", " -7 ", qint64(-7)},
        {"integer", "18446744073709551615", std::numeric_limits<quint64>::max()},
        {"integer", "-18446744073709551615", {}},
        {"integer", "12abc", {}},
        {"integer", "010", {}},
        {"real", "-2.5e-3", -2.5e-3},
        {"real", "+infinity", HUGE_VAL},
        {"real", "1,5", {}},
        {"date", "1969-07-20T20:17:40Z", QDateTime(QDate(1969, 7, 20), QTime(20, 17, 40), Qt::UTC)},
        {"date", "2001-02-30T00:00:00Z", {}},
        {"data", " QUJD\n REVG\n", QByteArray("ABCDEF")},
        {"data", "AAE", {}},
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
