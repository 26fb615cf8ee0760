#include "StoreOutcomeWatch.h"

#include <QDateTime>
#include <QFile>
#include <unistd.h>

namespace {

TEST_F(PaneTest, TheFirstChangeCreatesTheFileWithThatEntryOnly) {
    load({switchRow("a", {{"default", true}}), switchRow("b", {{"default", true}})});
    ASSERT_FALSE(QFile::exists(prefsPath()));
    row(0)->performSetterWithValue(false);
    EXPECT_EQ(prefs(), (QVariantMap{{"a", false}}));
    EXPECT_EQ(pane.readPreferenceValue(row(1)), true);
}

TEST_F(PaneTest, AChangeKeepsEveryOtherEntry) {
    load({switchRow("a")});
    const QVariantMap others{
        {"unknownKey", "kept"},
        {"big", quint64(18446744073709551615ULL)},
        {"negative", qint64(-9223372036854775807LL)},
        {"real", 0.1},
        {"date", QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC)},
        {"data", QByteArray("\x00\xff", 2)},
        {"nested", QVariantMap{{"list", QVariantList{1, "two", false}}}},
        {"a", true},
    };
    writePrefs(others);
    row(0)->performSetterWithValue(false);
    QVariantMap expected = others;
    expected.insert("a", false);
    const std::optional<QVariantMap> written = prefs();
    ASSERT_TRUE(written);
    EXPECT_EQ(written->keys(), expected.keys());
    for (const QString& key : expected.keys()) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_EQ(PropertyList::toXml(written->value(key)),
                  PropertyList::toXml(expected.value(key)));
    }
}

TEST_F(PaneTest, AnUnreadableFileIsMovedAsideNotOverwritten) {
    load({switchRow("a")});
    const QByteArray firstGarbage("this is not a property list");
    writePrefsBytes(firstGarbage);
    row(0)->performSetterWithValue(true);
    EXPECT_EQ(prefs(), (QVariantMap{{"a", true}}));
    QStringList aside = movedAside();
    ASSERT_EQ(aside.size(), 1);
    const QString dir = QFileInfo(prefsPath()).absolutePath() + "/";
    QFile first(dir + aside.first());
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), firstGarbage);

    // A second unreadable file in the same second gets a name of its own.
    const QByteArray secondGarbage = PropertyList::toXml(QVariantList{"a list root"});
    writePrefsBytes(secondGarbage);
    row(0)->performSetterWithValue(false);
    EXPECT_EQ(prefs(), (QVariantMap{{"a", false}}));
    aside = movedAside();
    ASSERT_EQ(aside.size(), 2);
    QByteArrayList contents;
    for (const QString& name : aside) {
        QFile file(dir + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents.append(file.readAll());
    }
    EXPECT_TRUE(contents.contains(firstGarbage));
    EXPECT_TRUE(contents.contains(secondGarbage));
}

TEST_F(PaneTest, TheFileReplacedByGarbageWhileOpenFallsBackThenIsKept) {
    load({groupRow("G"), controlRow("a", 1, {{"default", true}}), switchRow("x")});
    writePrefs({{"a", false}});
    EXPECT_EQ(pane.heightOf(2), 0.0);

    writePrefsBytes("<plist><dict><key>a</key>"); // cut short by another program
    EXPECT_EQ(pane.readPreferenceValue(row(1)), true);
    EXPECT_GT(pane.heightOf(2), 0.0);

    row(2)->performSetterWithValue(true);
    EXPECT_EQ(prefs(), (QVariantMap{{"x", true}}));
    EXPECT_EQ(movedAside().size(), 1);
}

struct FailureCase {
    const char* name;
    std::function<void()> arrange;
    QVariant value;
    bool keyed;
};

// A change that cannot reach the file: nothing announced, one warning naming the file, the
// base still called, and the file (if any) unchanged.
TEST_F(PaneTest, AFailedWriteIsReportedNotAnnounced) {
    load(
        {groupRow("G"), controlRow("a", 1), switchRow("x"), QVariantMap{{"cell", "PSSwitchCell"}}});
    const QString prefsDir = QFileInfo(prefsPath()).absolutePath();
    const FailureCase cases[] = {
        {"missing directory", [&] { QDir(prefsDir).removeRecursively(); }, true, true},
        {"read-only directory",
         [&] {
             QDir().mkpath(prefsDir);
             writePrefs({{"other", 1}});
             QFile::setPermissions(prefsDir, QFile::ReadOwner | QFile::ExeOwner);
         },
         true, true},
        {"directory is a file",
         [&] {
             QDir(prefsDir).removeRecursively();
             QFile file(prefsDir);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         },
         true, true},
        {"value not storable", [&] { QDir().mkpath(prefsDir); },
         QVariant::fromValue(static_cast<QObject*>(&pane)), true},
        {"value not storable over an unreadable file",
         [&] {
             QDir().mkpath(prefsDir);
             writePrefsBytes("garbage");
         },
         QVariant::fromValue(static_cast<QObject*>(&pane)), true},
        {"null value", [&] { QDir().mkpath(prefsDir); }, QVariant(), true},
        {"row without key", [&] { QDir().mkpath(prefsDir); }, true, false},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string_view(c.name) == "read-only directory" && geteuid() == 0)
            continue; // permissions do not stop the superuser
        c.arrange();
        const QByteArray before = root.readFile(kPrefsDevicePath);
        const int queries = pane.heightQueries;
        StoreOutcomeWatch watch;

        pane.setPreferenceValue(c.value, row(c.keyed ? 1 : 3));

        EXPECT_TRUE(watch.failedAndReported(prefsPath()));
        EXPECT_GT(pane.heightQueries, queries);
        EXPECT_EQ(root.readFile(kPrefsDevicePath), before);
        EXPECT_TRUE(movedAside().isEmpty());
        QFile::setPermissions(prefsDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(prefsPath());
        if (QFileInfo(prefsDir).isFile())
            QFile::remove(prefsDir);
    }
}

} // namespace
