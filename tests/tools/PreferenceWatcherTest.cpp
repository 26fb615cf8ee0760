#include "PreferenceWatcher.h"

#include "foundation/PropertyList.h"
#include "notify/NotifyCenter.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PreferenceWatcherTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("prefs.plist"); }
    void write(const QVariantMap& map) { ASSERT_TRUE(PropertyList::writeDictionary(map, path())); }
};

TEST_F(PreferenceWatcherTest, DescribesEachChangedKeyOnce) {
    write({{"enabled", true}, {"speed", 1.5}, {"name", "a"}});
    PreferenceWatcher watcher(path());

    const struct {
        QVariantMap next;
        QStringList expected;
    } steps[] = {
        {{{"enabled", true}, {"speed", 1.5}, {"name", "a"}}, {}},
        {{{"enabled", false}, {"speed", 1.5}, {"name", "a"}}, {"enabled: true -> false"}},
        {{{"enabled", false}, {"name", "b"}, {"color", "#FF0000"}},
         {"color: (none) -> \"#FF0000\"", "name: \"a\" -> \"b\"", "speed: 1.5 -> (none)"}},
        {{{"enabled", false}, {"name", "b"}, {"color", "#FF0000"}, {"n", QVariantList{1, "x"}}},
         {"n: (none) -> [1, \"x\"]"}},
    };
    for (const auto& step : steps) {
        write(step.next);
        EXPECT_EQ(watcher.refresh(), step.expected);
    }
}

TEST_F(PreferenceWatcherTest, AnUnreadableFileReadsAsEmpty) {
    write({{"k", 1}});
    PreferenceWatcher watcher(path());
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<plist><dict><key>k</key>");
    file.close();
    EXPECT_EQ(watcher.refresh(), QStringList{"k: 1 -> (none)"});
    EXPECT_TRUE(watcher.contents().isEmpty());
}

// The real program, observing the real bus: one notification, one block of output.
TEST_F(PreferenceWatcherTest, TheProgramPrintsChangesOnNotification) {
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    write({{"volume", 3}});
    QProcess watcher;
    watcher.start(QStringLiteral(QEV_BINARY_DIR "/tools/prefwatch"),
                  {"--root", dir.path(), "--file", "/prefs.plist", "--name",
                   "test.prefwatch/Reload", "--count", "1"});
    ASSERT_TRUE(watcher.waitForReadyRead(10000)); // the "watching" line: it is subscribed
    write({{"volume", 4}});
    NotifyCenter::darwin()->post("test.prefwatch/Reload");
    ASSERT_TRUE(watcher.waitForFinished(10000));
    const QString out = QString::fromUtf8(watcher.readAllStandardOutput());
    EXPECT_TRUE(out.contains("test.prefwatch/Reload (1)")) << out.toStdString();
    EXPECT_TRUE(out.contains("volume: 3 -> 4")) << out.toStdString();
}

} // namespace
