#include "PaneFixture.h"

#include <QDateTime>

namespace {

struct ReadCase {
    const char* name;
    QVariantMap row;                // properties of the row being read
    std::optional<QByteArray> file; // nullopt: no preference file
    QVariant expected;              // invalid: null
};

QByteArray xml(const QVariantMap& entries) {
    return PropertyList::toXml(entries);
}

// What a row reads for every state of the file and of its own properties.
TEST_F(PaneTest, ReadsTheStoredEntryElseTheDefault) {
    const ReadCase cases[] = {
        {"no file, default", {{"key", "k"}, {"default", true}}, std::nullopt, true},
        {"no file, no default", {{"key", "k"}}, std::nullopt, QVariant()},
        {"stored false beats default",
         {{"key", "k"}, {"default", true}},
         xml({{"k", false}}),
         false},
        {"stored 0 beats default", {{"key", "k"}, {"default", 5}}, xml({{"k", 0}}), qint64(0)},
        {"stored empty text beats default", {{"key", "k"}, {"default", "x"}}, xml({{"k", ""}}), ""},
        {"other entries only", {{"key", "k"}, {"default", 2}}, xml({{"j", 1}}), qint64(2)},
        {"neither entry nor default", {{"key", "k"}}, xml({{"j", 1}}), QVariant()},
        {"entry of another type", {{"key", "k"}, {"default", true}}, xml({{"k", "yes"}}), "yes"},
        {"entry is a dictionary",
         {{"key", "k"}},
         xml({{"k", QVariantMap{{"a", 1}}}}),
         QVariantMap{{"a", qint64(1)}}},
        {"no key reads the default", {{"default", 7}}, xml({{"k", 1}}), qint64(7)},
        {"key not a text", {{"key", 5}, {"default", "d"}}, xml({{"5", "x"}}), "d"},
        {"garbage file", {{"key", "k"}, {"default", true}}, QByteArray("\x00\x01garbage", 9), true},
        {"root is a list",
         {{"key", "k"}, {"default", true}},
         PropertyList::toXml(QVariantList{1}),
         true},
        {"truncated file", {{"key", "k"}, {"default", 1}}, xml({{"k", 2}}).left(60), qint64(1)},
        {"empty file", {{"key", "k"}, {"default", 1}}, QByteArray(), qint64(1)},
    };
    QVariantList items;
    for (const ReadCase& c : cases) {
        QVariantMap item = c.row;
        item.insert("cell", "PSSwitchCell");
        items.append(item);
    }
    load(items);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const ReadCase& c = cases[i];
        SCOPED_TRACE(c.name);
        QFile::remove(prefsPath());
        if (c.file)
            writePrefsBytes(*c.file);
        const QVariant value = pane.readPreferenceValue(row(i));
        EXPECT_EQ(value.isValid(), c.expected.isValid());
        if (c.expected.isValid()) {
            EXPECT_EQ(value.typeId(), c.expected.typeId());
            EXPECT_EQ(value, c.expected);
        }
        EXPECT_EQ(row(i)->performGetter(), value); // the host's getter ends here too
    }
}

TEST_F(PaneTest, LoadsRootOnceAndUsesTheInsetGroupedStyle) {
    load({switchRow("a"), switchRow("b")});
    const QList<PSSpecifier*> first = pane.specifiers();
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(pane.specifiers(), first);
    for (PSSpecifier* specifier : first)
        EXPECT_EQ(specifier->target(), &pane);
    EXPECT_EQ(pane.tableViewStyle(), 2);
}

} // namespace
