#include "common/Files.h"
#include "common/KillLoop.h"

#include "foundation/AtomicFile.h"
#include "foundation/PropertyList.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// Versions of one preference dictionary, of different sizes so a torn write would show.
QList<QByteArray> versions() {
    QList<QByteArray> all;
    for (int i = 0; i < 8; ++i)
        all.append(PropertyList::toXml(QVariantMap{
            {"version", i}, {"payload", QString(QChar(u'a' + i)).repeated(100 + i * 3000)}}));
    return all;
}

// A child forked from this test that writes the versions in turn until it is killed.
WriterKind forkedWriter(const char* name, const QString& path, int rounds,
                        int maxDelayMicroseconds) {
    return {name,
            [path](int) {
                const QList<QByteArray> all = versions();
                const pid_t pid = ::fork();
                // From the second version on, so its first whole write changes the file.
                for (int i = 1; pid == 0; i = (i + 1) % int(all.size()))
                    AtomicFile::replace(path, all[i]);
                return pid;
            },
            [](pid_t pid) -> std::optional<int> {
                int status = 0;
                return ::waitpid(pid, &status, 0) == pid ? std::optional(status) : std::nullopt;
            },
            rounds, maxDelayMicroseconds};
}

// Kills early in a write and kills spread over whole writes: every kill leaves one whole
// version and at most the killed writer's temporary file, which the next write clears.
TEST(AtomicFileCrash, EveryKillLeavesOneWholeVersion) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    const QList<QByteArray> all = versions();
    for (const WriterKind& writer : {forkedWriter("early_kills", path, 150, 3000),
                                     forkedWriter("spread_kills", path, 50, 30000)}) {
        ASSERT_TRUE(AtomicFile::replace(path, all.first()).ok);
        QByteArray before = all.first();
        const KillLoopCounts counts = runKillLoop(writer, path, [&](int) {
            const QByteArray now = readAll(path);
            const FileState state = now == before
                                        ? FileState::Old
                                        : (all.contains(now) ? FileState::New : FileState::Torn);
            before = now;
            return state;
        });
        EXPECT_EQ(counts.old + counts.fresh, writer.rounds);
        // How many kills came after a whole write depends on the machine's load: shown, not
        // asserted.
        testing::Test::RecordProperty(writer.name + "_after_a_write", counts.fresh);
        ASSERT_TRUE(AtomicFile::replace(path, all.first()).ok);
        EXPECT_EQ(entriesIn(dir.path()), QStringList{"prefs.plist"});
    }
}

} // namespace
