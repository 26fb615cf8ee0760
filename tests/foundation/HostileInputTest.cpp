#include "BinaryPlistBuilder.h"
#include "common/TestName.h"
#include "foundation/PlistGuard.h"
#include "foundation/PropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {

QByteArray validXml() {
    return PropertyList::toXml(QVariantMap{
        {"name", QString("x")}, {"list", QVariantList{1, 2.5, true}}, {"n", qint64(-3)}});
}

QByteArray validBinary() {
    BinaryPlistBuilder b;
    b.add(b.dict({1, 2}, {3, 4}));
    b.add(BinaryPlistBuilder::ascii("a"));
    b.add(BinaryPlistBuilder::ascii("b"));
    b.add(BinaryPlistBuilder::ascii("value"));
    b.add(b.array({3, 3}));
    return b.build();
}

QByteArray nestedArraysXml(int depth) {
    return "<plist>" + QByteArray("<array>").repeated(depth) +
           QByteArray("</array>").repeated(depth) + "</plist>";
}

QByteArray nestedDictsXml(int depth) {
    return "<plist>" + QByteArray("<dict><key>k</key>").repeated(depth) + "<true/>" +
           QByteArray("</dict>").repeated(depth) + "</plist>";
}

// `depth` arrays, each holding the next; the last is empty.
QByteArray nestedArraysBinary(int depth) {
    BinaryPlistBuilder b;
    b.refSize = 4;
    for (int i = 0; i < depth - 1; ++i)
        b.add(b.array({quint64(i + 1)}));
    b.add(b.array({}));
    return b.build();
}

QByteArray withCycle(const QList<quint64>& firstRefs) {
    BinaryPlistBuilder b;
    b.add(b.array(firstRefs));
    b.add(b.array({0}));
    b.add(BinaryPlistBuilder::ascii("leaf"));
    return b.build();
}

// Each array holds the next one twice: a few hundred bytes that libplist would expand
// into 2^levels values.
QByteArray sharedExplosion(int levels) {
    BinaryPlistBuilder b;
    for (int i = 0; i < levels; ++i)
        b.add(b.array({quint64(i + 1), quint64(i + 1)}));
    b.add(BinaryPlistBuilder::ascii("x"));
    return b.build();
}

QByteArray oneObject(const QByteArray& object) {
    BinaryPlistBuilder b;
    b.add(object);
    return b.build();
}

struct HostileCase {
    const char* name;
    QByteArray bytes;
};

std::vector<HostileCase> hostileCases() {
    BinaryPlistBuilder outOfRange;
    outOfRange.add(outOfRange.array({0x7FFF}));
    BinaryPlistBuilder badOffset;
    badOffset.add(badOffset.array({}));
    QByteArray badOffsetBytes = badOffset.build();
    badOffsetBytes[badOffsetBytes.size() - 32 - 1] = char(0x7F); // offset table entry past the end
    BinaryPlistBuilder longString;
    longString.add(QByteArray("\x5F\x13", 2) + BinaryPlistBuilder::bigEndian(1ULL << 40, 8) + "ab");
    BinaryPlistBuilder nonStringKey;
    nonStringKey.add(nonStringKey.dict({1}, {1}));
    nonStringKey.add(nonStringKey.array({}));
    BinaryPlistBuilder nulKey; // libplist asserts on a key with a NUL
    nulKey.add(nulKey.dict({1}, {1}));
    nulKey.add(BinaryPlistBuilder::ascii(QByteArray("a\0b", 3)));
    BinaryPlistBuilder nulUtf16Key;
    nulUtf16Key.add(nulUtf16Key.dict({1}, {1}));
    nulUtf16Key.add(QByteArray("\x62\x00\x61\x00\x00", 5));
    BinaryPlistBuilder uid;
    uid.add(QByteArray("\x80\x05", 2));
    BinaryPlistBuilder rootOutside;
    rootOutside.add(rootOutside.array({}));
    rootOutside.root = 9;

    return {
        {"empty", QByteArray()},
        {"whitespace", QByteArray("  \n\t ")},
        {"text", QByteArray("just some words")},
        {"xml unterminated tag", QByteArray("<plist><dict><key>a</key><string>b</string></dict")},
        {"xml unterminated comment", QByteArray("<plist><!-- <dict>")},
        {"xml unclosed elements", QByteArray("<plist><array><array><array>")},
        {"xml truncated document", validXml().left(validXml().size() / 2)},
        {"xml arrays beyond the limit", nestedArraysXml(PlistGuard::maxDepth + 2)},
        {"xml arrays 10^4 deep", nestedArraysXml(10000)},
        {"xml arrays 10^5 deep", nestedArraysXml(100000)},
        {"xml dicts 10^5 deep", nestedDictsXml(100000)},
        {"xml arrays 10^6 deep", nestedArraysXml(1000000)}, // plist_free would overflow
        {"xml unknown element", QByteArray("<plist><uid>1</uid></plist>")},
        {"binary header only", QByteArray("bplist00")},
        {"binary truncated", validBinary().left(validBinary().size() - 1)},
        {"binary reference out of range", outOfRange.build()},
        {"binary offset out of range", badOffsetBytes},
        {"binary no objects", BinaryPlistBuilder().build()},
        {"binary trailer claims 2^62 objects",
         [] {
             BinaryPlistBuilder b;
             b.add(b.array({}));
             return b.build(quint64(1) << 62);
         }()},
        {"binary table offset past end",
         [] {
             BinaryPlistBuilder b;
             b.add(b.array({}));
             return b.build(~quint64(0), quint64(1) << 40);
         }()},
        {"binary root outside", rootOutside.build()},
        {"binary string longer than file", longString.build()},
        {"binary self reference", withCycle({0})},
        {"binary two-object cycle", withCycle({2, 1})},
        {"binary dict key not a string", nonStringKey.build()},
        {"binary dict key with nul", nulKey.build()},
        {"binary dict utf16 key with nul", nulUtf16Key.build()},
        {"binary string with nul", oneObject(BinaryPlistBuilder::ascii(QByteArray("a\0b", 3)))},
        {"binary arrays beyond the limit", nestedArraysBinary(PlistGuard::maxDepth + 2)},
        {"binary arrays 10^5 deep", nestedArraysBinary(100000)},
        {"binary shared subtrees 2^40", sharedExplosion(40)},
        {"binary date nan", oneObject(BinaryPlistBuilder::date(std::nan("")))},
        {"binary date infinite", oneObject(BinaryPlistBuilder::date(HUGE_VAL))},
        {"binary date 1e300", oneObject(BinaryPlistBuilder::date(1e300))},
        {"binary date year 10000", oneObject(BinaryPlistBuilder::date(252'423'993'600.0))},
        {"binary uid", uid.build()},
        {"binary unknown marker", oneObject(QByteArray("\x70", 1))},
    };
}

class HostileBytes : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileBytes, ParseFindsNoValue) {
    EXPECT_FALSE(PropertyList::parse(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(PropertyList, HostileBytes, testing::ValuesIn(hostileCases()),
                         [](const auto& info) { return testName(info.param.name); });

TEST(PropertyListHostile, EveryTruncationOfValidInputIsSafe) {
    for (const QByteArray& whole : {validXml(), validBinary()}) {
        ASSERT_TRUE(PropertyList::parse(whole).has_value());
        for (qsizetype n = 0; n < whole.size(); ++n) {
            std::optional<QVariant> value = PropertyList::parse(whole.left(n));
            // A cut XML document may still end after its root; it must then be the whole value.
            if (value) {
                EXPECT_EQ(*value, *PropertyList::parse(whole)) << n;
            }
        }
    }
}

TEST(PropertyListHostile, NestingUpToTheLimitIsRead) {
    // The root is level 0, so maxDepth + 1 arrays are the deepest accepted.
    EXPECT_TRUE(PropertyList::parse(nestedArraysXml(PlistGuard::maxDepth + 1)).has_value());
    EXPECT_TRUE(PropertyList::parse(nestedArraysBinary(PlistGuard::maxDepth + 1)).has_value());
    // A shared subtree is fine while its expansion stays small.
    EXPECT_TRUE(PropertyList::parse(sharedExplosion(10)).has_value());
}

struct ScalarText {
    const char* element;
    const char* text;
    QVariant expected; // invalid: the document is malformed
};

class XmlScalars : public testing::TestWithParam<ScalarText> {};

TEST_P(XmlScalars, ReadExactlyOrRefused) {
    const ScalarText& c = GetParam();
    const QByteArray xml =
        QByteArray("<plist><") + c.element + ">" + c.text + "</" + c.element + "></plist>";
    std::optional<QVariant> value = PropertyList::parse(xml);
    if (!c.expected.isValid()) {
        EXPECT_FALSE(value.has_value()) << xml.constData();
        return;
    }
    ASSERT_TRUE(value.has_value()) << xml.constData();
    EXPECT_EQ(value->typeId(), c.expected.typeId());
    EXPECT_EQ(*value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    PropertyList, XmlScalars,
    testing::Values(
        ScalarText{"integer", "42", qint64(42)}, ScalarText{"integer", " -7 ", qint64(-7)},
        ScalarText{"integer", "+5", qint64(5)},
        ScalarText{"integer", "-9223372036854775808", std::numeric_limits<qint64>::min()},
        ScalarText{"integer", "9223372036854775807", std::numeric_limits<qint64>::max()},
        ScalarText{"integer", "18446744073709551615", std::numeric_limits<quint64>::max()},
        ScalarText{"integer", "0x10", qint64(16)}, ScalarText{"integer", "0", qint64(0)},
        ScalarText{"integer", "-9223372036854775809", {}},
        ScalarText{"integer", "18446744073709551616", {}},
        ScalarText{"integer", "-18446744073709551615", {}}, ScalarText{"integer", "12abc", {}},
        ScalarText{"integer", "abc", {}}, ScalarText{"integer", "", {}},
        ScalarText{"integer", "010", {}}, ScalarText{"integer", "1.5", {}},
        ScalarText{"integer", "-", {}}, ScalarText{"real", "1.5", 1.5},
        ScalarText{"real", "-2.5e-3", -2.5e-3}, ScalarText{"real", ".5", 0.5},
        ScalarText{"real", "7", 7.0}, ScalarText{"real", "+infinity", HUGE_VAL},
        ScalarText{"real", "1,5", {}}, ScalarText{"real", "abc", {}}, ScalarText{"real", "", {}},
        ScalarText{"real", "1e", {}},
        ScalarText{"date", "2001-01-01T00:00:01Z",
                   QDateTime(QDate(2001, 1, 1), QTime(0, 0, 1), Qt::UTC)},
        ScalarText{"date", "1969-07-20T20:17:40Z",
                   QDateTime(QDate(1969, 7, 20), QTime(20, 17, 40), Qt::UTC)},
        ScalarText{"date", "garbage", {}}, ScalarText{"date", "", {}},
        ScalarText{"date", "2001-13-01T00:00:00Z", {}},
        ScalarText{"date", "2001-02-30T00:00:00Z", {}},
        ScalarText{"date", "2001-01-01T24:00:00Z", {}},
        ScalarText{"date", "99999-01-01T00:00:00Z", {}},
        ScalarText{"date", "2001-01-01 00:00:00", {}},
        ScalarText{"data", "AAEC", QByteArray("\0\1\2", 3)},
        ScalarText{"data", " QUJD\n REVG\n", QByteArray("ABCDEF")},
        ScalarText{"data", "QQ==", QByteArray("A")}, ScalarText{"data", "", QByteArray()},
        ScalarText{"data", "AAE", {}}, ScalarText{"data", "!!!!", {}},
        ScalarText{"data", "AAEC====AAEC", {}}, ScalarText{"data", "&#65;AEC", {}}));

class HostileFiles : public testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(HostileFiles, NoDictionaryFromAnythingButADictionaryFile) {
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString directory = dir.filePath("sub.plist");
    ASSERT_TRUE(QDir().mkdir(directory));
    const QStringList paths = {
        dir.filePath("missing.plist"),
        write("empty.plist", {}),
        write("array.plist", PropertyList::toXml(QVariantList{1, 2})),
        write("string.plist", PropertyList::toXml(QString("text"))),
        write("garbage.plist", QByteArray(1000, '\x01')),
        directory,
        fifo, // must not block waiting for a writer
        QString(),
    };
    for (const QString& path : paths)
        EXPECT_FALSE(PropertyList::readDictionary(path).has_value()) << path.toStdString();
}

TEST_F(HostileFiles, OversizedFileIsRefusedUnread) {
    const QString path = write("huge.plist", validXml());
    QFile file(path);
    // Sparse: hundreds of megabytes that would take real time and memory to read.
    ASSERT_TRUE(file.resize(300 * 1024 * 1024));
    EXPECT_FALSE(PropertyList::readDictionary(path).has_value());
    ASSERT_TRUE(file.resize(PropertyList::maxFileSize + 1));
    EXPECT_FALSE(PropertyList::readFile(path).has_value());
}

// The buffer is sized from the file, so a file that reports less than it holds (a kernel file
// reports 0; a file may also grow after its size is taken) must still be read to its end.
TEST_F(HostileFiles, FilesAreReadWholeWhateverSizeTheyReport) {
    const QByteArray small = validXml();
    const QByteArray large = QByteArray(5 * 1024 * 1024, 'x');
    EXPECT_EQ(PropertyList::readBytes(write("small.plist", small)), small);
    EXPECT_EQ(PropertyList::readBytes(write("large.bin", large)), large);
    EXPECT_EQ(PropertyList::readBytes(write("empty.plist", {})), QByteArray());

    QFile status(QStringLiteral("/proc/self/status"));
    ASSERT_TRUE(status.open(QIODevice::ReadOnly));
    ASSERT_EQ(status.size(), 0);
    const std::optional<QByteArray> read = PropertyList::readBytes(status.fileName());
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->startsWith("Name:")) << read->left(40).toStdString();
    EXPECT_TRUE(read->contains("\nVmPeak:"));
}

TEST_F(HostileFiles, BinaryAndXmlDictionariesAreRead) {
    const QVariantMap expected{{"a", QString("b")}};
    const QByteArray binary = [] {
        BinaryPlistBuilder b;
        b.add(b.dict({1}, {2}));
        b.add(BinaryPlistBuilder::ascii("a"));
        b.add(BinaryPlistBuilder::ascii("b"));
        return b.build();
    }();
    EXPECT_EQ(PropertyList::readDictionary(write("bin.plist", binary)), expected);
    EXPECT_EQ(PropertyList::readDictionary(write("xml.plist", PropertyList::toXml(expected))),
              expected);
}

} // namespace
