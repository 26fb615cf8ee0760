#include "HostilePropertyLists.h"
#include "StoreOutcomeWatch.h"

#include "common/TestName.h"
#include "foundation/FileIdentity.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The same value, whatever QVariant type carries it: compared as written to a file.
QByteArray asStored(const QVariant& value) {
    return PropertyList::toXml(QVariantList{value});
}

// The preference file under attack. Opening the pane and reading every row leaves it as it
// was; the first store moves an unreadable file aside byte for byte and starts afresh, and
// keeps every entry of a readable one.
class PaneHostilePrefs : public PaneTest, public testing::WithParamInterface<HostileShape> {};

TEST_P(PaneHostilePrefs, ReadingLeavesItAndAStoreNeverLosesIt) {
    const HostileShape& shape = GetParam();
    const QByteArray original = shape.bytes();
    writePrefsBytes(original);
    const std::optional<FileIdentity> identity = FileIdentity::of(prefsPath());
    ASSERT_TRUE(identity);

    load({groupRow("G"), controlRow("a", 1, {{"default", true}}),
          switchRow("b", {{"default", false}}), switchRow("other")});
    ASSERT_EQ(pane.specifiers().size(), 4);
    QVariantList values;
    for (int i = 0; i < 4; ++i) {
        values.append(pane.readPreferenceValue(row(i)));
        if (i > 0) // the group is a section, not a row
            EXPECT_GE(pane.heightOf(i), 0.0);
    }
    if (shape.readable) {
        EXPECT_EQ(values[3], "kept");
    } else {
        EXPECT_EQ(values[1], true);
        EXPECT_EQ(values[2], false);
        EXPECT_FALSE(values[3].isValid());
    }
    EXPECT_EQ(FileIdentity::of(prefsPath()), identity);
    EXPECT_TRUE(root.readFile(kPrefsDevicePath) == original);
    EXPECT_TRUE(movedAside().isEmpty());

    const QVariantMap readBefore = prefs().value_or(QVariantMap());
    {
        StoreOutcomeWatch watch;
        pane.setPreferenceValue(true, row(2));
        EXPECT_EQ(watch.posts(), 1u) << watch.warnings().join('\n').toStdString();
        EXPECT_TRUE(watch.deliveredExactly(1));
    }
    const QStringList aside = movedAside();
    const QString dir = QFileInfo(prefsPath()).absolutePath() + "/";
    if (shape.readable) {
        EXPECT_TRUE(aside.isEmpty());
        QVariantMap expected = readBefore;
        expected.insert("b", true);
        const QVariantMap written = prefs().value_or(QVariantMap());
        EXPECT_EQ(written.keys(), expected.keys());
        for (const QString& key : expected.keys())
            EXPECT_EQ(asStored(written.value(key)), asStored(expected.value(key)))
                << key.toStdString();
    } else {
        ASSERT_EQ(aside.size(), 1);
        QFile copy(dir + aside.first());
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_TRUE(copy.readAll() == original) << "the moved-aside copy differs";
        EXPECT_EQ(prefs(), (QVariantMap{{"b", true}}));
    }
    EXPECT_EQ(pane.readPreferenceValue(row(2)), true);
    EXPECT_TRUE(leftoversIn(dir, QStringList{QFileInfo(prefsPath()).fileName()} + aside).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(PaneHostile, PaneHostilePrefs, testing::ValuesIn(hostileShapes("a")),
                         [](const auto& info) { return testName(info.param.name); });

// A bundle holding `rowList` as its row list "Root" and, when given, `strings` as its English
// strings table "Root". Each bundle has a path of its own: bundles and tables are cached.
NSBundle* makeBundle(const TempDeviceRoot& root, const QByteArray& rowList,
                     const std::optional<QByteArray>& strings = std::nullopt) {
    static int serial = 0;
    const QString device = QStringLiteral("/bundles/hostile%1.bundle/").arg(++serial);
    root.writeFile(device + "Info.plist",
                   PropertyList::toXml(
                       QVariantMap{{"CFBundleName", "t"}, {"CFBundleDevelopmentRegion", "en"}}));
    root.writeFile(device + "Root.plist", rowList);
    if (strings)
        root.writeFile(device + "en.lproj/Root.strings", *strings);
    return NSBundle::bundleWithPath(root.hostPath(device));
}

// The row list under attack: the pane opens empty, without a crash, and never writes it.
class PaneHostileRowList : public PaneTest, public testing::WithParamInterface<HostileShape> {};

TEST_P(PaneHostileRowList, OpensEmpty) {
    const QByteArray original = GetParam().bytes();
    NSBundle* bundle = makeBundle(root, original);
    ASSERT_TRUE(bundle);
    pane.setBundle(bundle);
    ASSERT_TRUE(pane.view());
    EXPECT_TRUE(pane.specifiers().isEmpty());
    EXPECT_TRUE(pane.specifiers().isEmpty()); // asked again: read again, still nothing
    EXPECT_TRUE(root.readFile(QStringLiteral("/bundles/") +
                              QFileInfo(bundle->bundlePath()).fileName() + "/Root.plist") ==
                original);
    EXPECT_FALSE(QFile::exists(prefsPath()));
}

INSTANTIATE_TEST_SUITE_P(PaneHostile, PaneHostileRowList, testing::ValuesIn(hostileShapes("items")),
                         [](const auto& info) { return testName(info.param.name); });

// A readable list with hostile entries among its rows: every dictionary entry is a row, in
// order, and everything else is passed over.
class PaneHostileRows : public PaneTest {};

TEST_F(PaneHostileRows, OnlyDictionaryEntriesBecomeRows) {
    using namespace HostileDetail;
    const QByteArray items =
        "<array><dict><key>cell</key><string>PSSwitchCell</string><key>key</key><string>x</string>"
        "<key>label</key><string>x</string></dict>"
        "<string>not a row</string><integer>-9223372036854775808</integer>"
        "<array><array><array/></array></array><true/><date>9999-12-31T23:59:59Z</date>"
        "<dict><key>cell</key><integer>7</integer><key>key</key><integer>7</integer>"
        "<key>label</key><integer>18446744073709551615</integer></dict>"
        "<dict/>"
        "<dict><key>cell</key><string>PSSwitchCell</string><key>key</key><string>y</string>"
        "<key>label</key><string>y</string></dict>"
        "</array>";
    pane.setBundle(makeBundle(root, xmlDict(xmlEntry("items", items))));
    ASSERT_TRUE(pane.view());
    const QList<PSSpecifier*> rows = pane.specifiers();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows.first()->name(), "x");
    EXPECT_EQ(rows.last()->name(), "y");
    for (int i = 0; i < rows.size(); ++i) {
        pane.readPreferenceValue(row(i));
        EXPECT_GE(pane.heightOf(i), 0.0);
    }
    // The row whose key is a number stores nothing; the others store and announce once.
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        StoreOutcomeWatch watch;
        pane.setPreferenceValue(true, row(i));
        const bool keyed = TOLVPLAYERPreferencesListController::entryKey(row(i)).has_value();
        EXPECT_TRUE(keyed ? watch.landed() : watch.failedAndReported(prefsPath()));
    }
    EXPECT_EQ(prefs(), (QVariantMap{{"x", true}, {"y", true}}));
}

// A strings table and whether it translates (the well-formed controls) or must be ignored.
struct StringsCase {
    std::string name;
    std::function<QByteArray()> bytes;
    bool translated;
};

QByteArray validText() {
    return "/* a translation */\n\"Hello\" = \"Hallo\";\n\"World\" = \"Welt\";\n"
           "\"Footer\" = \"Fu\xc3\x9fzeile\";\n";
}

QByteArray utf16le(const QByteArray& utf8) {
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xFF\xFE") +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// A binary property list text object in UTF-16 (big-endian), for text beyond ASCII.
QByteArray utf16beObject(const QString& text) {
    QByteArray object(1, char(0x60 | text.size()));
    for (QChar c : text)
        object.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return object;
}

std::vector<StringsCase> stringsCases() {
    std::vector<StringsCase> cases = {
        {"text_well_formed", validText, true},
        {"text_utf16_well_formed", [] { return utf16le(validText()); }, true},
        {"binary_plist_well_formed",
         [] {
             BinaryPlistBuilder b;
             b.add(b.dict({1, 2, 3}, {4, 5, 6}));
             b.add(BinaryPlistBuilder::ascii("Hello"));
             b.add(BinaryPlistBuilder::ascii("World"));
             b.add(BinaryPlistBuilder::ascii("Footer"));
             b.add(BinaryPlistBuilder::ascii("Hallo"));
             b.add(BinaryPlistBuilder::ascii("Welt"));
             b.add(utf16beObject(QString::fromUtf8("Fu\xc3\x9fzeile")));
             return b.build();
         },
         true},
        {"text_cut_in_a_value", [] { return validText().left(validText().indexOf("Hal") + 2); },
         false},
        {"text_comment_never_closed", [] { return validText() + "/* never closed"; }, false},
        {"text_invalid_utf8", [] { return validText().replace("Hallo", "Ha\xff\xfello"); }, false},
        {"text_nul_in_key", [] { return QByteArray("\"Hel\0lo\" = \"X\";\n", 16) + validText(); },
         false},
        {"text_utf16_odd_length", [] { return utf16le(validText()) + "\x41"; }, false},
        {"text_utf16_lone_surrogate",
         [] {
             return utf16le(validText())
                 .replace(QByteArray("H\0a\0", 4), QByteArray("\x00\xd8"
                                                              "a\0",
                                                              4));
         },
         false},
        {"text_braces_nested_10e5", [] { return QByteArray(100000, '{') + validText(); }, false},
        {"text_escape_cut_short", [] { return validText() + "\"x\" = \"\\U12"; }, false},
        {"text_70_MiB",
         [] {
             QByteArray big = validText();
             big.append(
                 QByteArray("\"pad\" = \"pad\";\n").repeated(HostileDetail::kHugeBytes / 16));
             return big;
         },
         false},
    };
    for (const HostileShape& shape : hostileShapes("Hello"))
        cases.push_back({"plist_" + shape.name, shape.bytes, false});
    return cases;
}

void PrintTo(const StringsCase& c, std::ostream* out) {
    *out << c.name;
}

// The strings table under attack: the pane opens with its texts untranslated.
class PaneHostileStrings : public PaneTest, public testing::WithParamInterface<StringsCase> {};

TEST_P(PaneHostileStrings, FallsBackToTheUntranslatedTexts) {
    const StringsCase& c = GetParam();
    const QVariantMap list{
        {"localizationTable", "Root"},
        {"items",
         QVariantList{
             QVariantMap{{"cell", "PSGroupCell"}, {"label", "Hello"}, {"footerText", "Footer"}},
             switchRow("World")}},
    };
    pane.setBundle(makeBundle(root, PropertyList::toXml(list), c.bytes()));
    ASSERT_TRUE(pane.view());
    ASSERT_EQ(pane.specifiers().size(), 2);
    if (c.translated) {
        EXPECT_EQ(row(0)->name(), "Hallo");
        EXPECT_EQ(row(0)->footerText(), QString::fromUtf8("Fu\xc3\x9fzeile"));
        EXPECT_EQ(row(1)->name(), "Welt");
    } else {
        EXPECT_EQ(row(0)->name(), "Hello");
        EXPECT_EQ(row(0)->footerText(), "Footer");
        EXPECT_EQ(row(1)->name(), "World");
    }
    EXPECT_GE(pane.heightOf(1), 0.0);
}

INSTANTIATE_TEST_SUITE_P(PaneHostile, PaneHostileStrings, testing::ValuesIn(stringsCases()),
                         [](const auto& info) { return testName(info.param.name); });

} // namespace
