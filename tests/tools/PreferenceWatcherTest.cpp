#include "PreferenceWatcher.h"
#include "common/Files.h"

#include "foundation/PropertyList.h"
#include "notify/NotifyCenter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Each refresh names every key that changed since the last one, once, and no other; a file
// that cannot be read counts as empty.
TEST(PreferenceWatcher, DescribesEachChangedKeyOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    const auto file = [](const QVariantMap& map) { return PropertyList::toXml(map); };
    ASSERT_TRUE(writeFile(path, file({{"enabled", true}, {"speed", 1.5}, {"name", "a"}})));
    PreferenceWatcher watcher(path);
    const struct {
        QByteArray next;
        QStringList expected;
    } steps[] = {
        {file({{"enabled", true}, {"speed", 1.5}, {"name", "a"}}), {}},
        {file({{"enabled", false}, {"speed", 1.5}, {"name", "a"}}), {"enabled: true -> false"}},
        {file({{"enabled", false}, {"name", "b"}, {"color", "#FF0000"}}),
         {"color: (none) -> \"#FF0000\"", "name: \"a\" -> \"b\"", "speed: 1.5 -> (none)"}},
        {file({{"enabled", false},
               {"name", "b"},
               {"color", "#FF0000"},
               {"n", QVariantList{1, "x"}}}),
         {"n: (none) -> [1, \"x\"]"}},
        {"<plist><dict><key>k</key>",
         {"color: \"#FF0000\" -> (none)", "enabled: false -> (none)", "n: [1, \"x\"] -> (none)",
          "name: \"b\" -> (none)"}},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(writeFile(path, step.next));
        EXPECT_EQ(watcher.refresh(), step.expected);
    }
}

// The real program on the real bus: one notification, one block of output.
TEST(PreferenceWatcher, TheProgramPrintsChangesOnNotification) {
    QTemporaryDir dir;
    ASSERT_TRUE(
        writeFile(dir.filePath("prefs.plist"), PropertyList::toXml(QVariantMap{{"volume", 3}})));
    QProcess watcher;
    watcher.start(QStringLiteral(QEV_BINARY_DIR "/tools/prefwatch"),
                  {"--root", dir.path(), "--file", "/prefs.plist", "--name",
                   "qev.test.prefwatch/Reload", "--count", "1"});
    ASSERT_TRUE(watcher.waitForReadyRead(10000)); // the "watching" line: it is subscribed
    ASSERT_TRUE(
        writeFile(dir.filePath("prefs.plist"), PropertyList::toXml(QVariantMap{{"volume", 4}})));
    NotifyCenter::darwin()->post("qev.test.prefwatch/Reload");
    ASSERT_TRUE(watcher.waitForFinished(10000));
    const QString out = QString::fromUtf8(watcher.readAllStandardOutput());
    EXPECT_TRUE(out.contains("qev.test.prefwatch/Reload (1)")) << out.toStdString();
    EXPECT_TRUE(out.contains("volume: 3 -> 4")) << out.toStdString();
}

} // namespace
