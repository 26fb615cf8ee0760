// The pane's files under attack (tests/common/HostileShapes), each where it goes: the preference
// file, the row list and the strings table.
#include "PaneFixture.h"

#include "common/Files.h"
#include "common/HostileShapes.h"
#include "common/TestName.h"

#include "foundation/FileIdentity.h"

namespace {

std::string shapeName(const testing::TestParamInfo<HostileShape>& info) {
    return testName(info.param.name);
}

// Rows 1-5 of the list below: a shown group and, after a control that reads off, a hidden row.
const QVariantList kRows{groupRow("G"),       controlRow("a", 1, {{"default", true}}),
                         switchRow("b"),      controlRow("z", 1, {{"default", false}}),
                         switchRow("hidden"), switchRow("other")};

// Opening the pane and reading every row leaves the preference file as it was, and the rows
// show their defaults (and, where the file is readable, its entries); the first store moves an
// unreadable file aside byte for byte and keeps every entry of a readable one.
class PaneHostilePrefs : public PaneTest, public testing::WithParamInterface<HostileShape> {};

TEST_P(PaneHostilePrefs, ReadingLeavesItAndAStoreNeverLosesIt) {
    const HostileShape& shape = GetParam();
    const QByteArray original = shape.bytes();
    ASSERT_TRUE(writeFile(prefsPath(), original));
    const std::optional<FileIdentity> identity = FileIdentity::of(prefsPath());
    load(kRows);
    ASSERT_EQ(pane.specifiers().size(), kRows.size());
    for (int i = 1; i < kRows.size(); ++i) {
        const auto path = pane.indexPathForSpecifier(row(i));
        ASSERT_TRUE(path);
        EXPECT_EQ(pane.heightForRowAtIndexPath(pane.table(), *path) > 0, i != 4) << "row " << i;
    }
    EXPECT_EQ(pane.readPreferenceValue(row(1)), true);
    EXPECT_EQ(pane.readPreferenceValue(row(5)), shape.readable ? QVariant("kept") : QVariant());
    EXPECT_EQ(FileIdentity::of(prefsPath()), identity);
    EXPECT_EQ(readAll(prefsPath()), original);

    const QVariantMap before = prefs().value_or(QVariantMap());
    {
        StoreWatch watch;
        pane.setPreferenceValue(true, row(2));
        EXPECT_TRUE(watch.landed());
    }
    const QStringList aside = movedAside();
    if (shape.readable) {
        EXPECT_TRUE(aside.isEmpty());
        const QVariantMap written = prefs().value_or(QVariantMap());
        EXPECT_EQ(written.value("b"), true);
        EXPECT_EQ(written.size(), before.size() + !before.contains("b"));
        for (const QString& key : before.keys()) // compared as stored: types may differ
            if (key != "b") {
                EXPECT_EQ(PropertyList::toXml(QVariantList{written.value(key)}),
                          PropertyList::toXml(QVariantList{before.value(key)}))
                    << key.toStdString();
            }
    } else {
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(readAll(prefsDir() + "/" + aside.first()), original);
        EXPECT_EQ(prefs(), (QVariantMap{{"b", true}}));
    }
    EXPECT_EQ(entriesIn(prefsDir()), QStringList{QFileInfo(prefsPath()).fileName()} + aside);
}

INSTANTIATE_TEST_SUITE_P(Pane, PaneHostilePrefs, testing::ValuesIn(hostileShapes("c")), shapeName);

// The row list under attack: the pane opens empty, never writes it, and stores nothing.
class PaneHostileRowList : public PaneTest, public testing::WithParamInterface<HostileShape> {};

TEST_P(PaneHostileRowList, OpensEmpty) {
    const QByteArray original = GetParam().bytes();
    NSBundle* bundle = makeTestBundle(root, {{"Root.plist", original}});
    pane.setBundle(bundle);
    ASSERT_TRUE(pane.view());
    EXPECT_TRUE(pane.specifiers().isEmpty());
    EXPECT_EQ(readAll(bundle->bundlePath() + "/Root.plist"), original);
    EXPECT_FALSE(QFile::exists(prefsPath()));
}

INSTANTIATE_TEST_SUITE_P(Pane, PaneHostileRowList, testing::ValuesIn(hostileShapes("items")),
                         shapeName);

// Strings tables under attack, in the text format and as property lists: a sound one
// translates, anything else leaves the texts as the row list has them.
std::vector<HostileShape> stringsTables() {
    std::vector<HostileShape> tables = hostileStringsTexts();
    for (HostileShape shape : hostileShapes("Hello")) {
        shape.name = "plist_" + shape.name;
        shape.readable = false; // "Hello" is never a text there
        tables.push_back(shape);
    }
    return tables;
}

class PaneHostileStrings : public PaneTest, public testing::WithParamInterface<HostileShape> {};

TEST_P(PaneHostileStrings, TranslateOrFallBackToTheUntranslatedTexts) {
    const HostileShape& table = GetParam();
    const QVariantList items{groupRow("Hello", {{"footerText", "Footer"}}), switchRow("World")};
    pane.setBundle(makeTestBundle(
        root, {{"Root.plist",
                PropertyList::toXml(QVariantMap{{"localizationTable", "Root"}, {"items", items}})},
               {"en.lproj/Root.strings", table.bytes()}}));
    ASSERT_TRUE(pane.view());
    ASSERT_EQ(pane.specifiers().size(), 2);
    const bool t = table.readable;
    EXPECT_EQ(row(0)->name(), t ? "Hallo" : "Hello");
    EXPECT_EQ(row(0)->footerText(), t ? QString::fromUtf8("Fu\xc3\x9fzeile") : "Footer");
    EXPECT_EQ(row(1)->name(), t ? "Welt" : "World");
}

INSTANTIATE_TEST_SUITE_P(Pane, PaneHostileStrings, testing::ValuesIn(stringsTables()), shapeName);

} // namespace
