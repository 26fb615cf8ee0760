// The pane's store killed mid-write (tests/common/KillLoop): each round a writer stores the
// round's sequence until it is killed; the file must be what it was before the round or what
// one of the round's stores left.
#include "WriterProcess.h"
#include "pane/writer/WriterSequence.h"

#include "common/Files.h"
#include "common/KillLoop.h"
#include "common/TempDeviceRoot.h"

#include "foundation/PropertyList.h"
#include "pane/PreferenceStore.h"
#include "pane/TOLVPLAYERPreferencesListController.h"

#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Pane = TOLVPLAYERPreferencesListController;

constexpr int kChildTimeoutMs = 30000;
// Far more stores than fit between a writer starting and its kill.
constexpr qint64 kMaxWritesPerRound = 100000;

class PaneKillLoop : public testing::Test {
protected:
    TempDeviceRoot root;
    // Entries no writer touches are there from the start, so a store that dropped one shows.
    QVariantMap state{{"kept", "by every write"}, {"level", -1.0}};
    std::unique_ptr<WriterProcess> fresh; // the round's freshly started writer

    void SetUp() override {
        ASSERT_TRUE(PropertyList::writeDictionary(state, prefsPath()));
        ASSERT_TRUE(root.writeFile(
            WriterSequence::kKillLoopBundle + "Root.plist",
            PropertyList::toXml(QVariantMap{{"items", WriterSequence::killLoopRows()}})));
    }
    QString prefsPath() const { return root.hostPath(Pane::kPreferencesPath); }

    // Forked from this test, storing through the store the pane writes with: cheap enough for
    // many rounds.
    static WriterKind inProcess(const char* name, int rounds, int maxDelayMicroseconds) {
        return {name,
                [](int round) {
                    const pid_t pid = ::fork();
                    if (pid == 0) {
                        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlive the test
                        const PreferenceStore store(Pane::kPreferencesPath);
                        for (qint64 index = 0;; ++index) {
                            const auto write = WriterSequence::killLoopWrite(round, index);
                            store.storeEntry(write.key, write.value);
                        }
                    }
                    return pid;
                },
                [](pid_t pid) -> std::optional<int> {
                    int status = 0;
                    return ::waitpid(pid, &status, 0) == pid ? std::optional(status) : std::nullopt;
                },
                rounds, maxDelayMicroseconds};
    }
    // The real pane, height pass and all, in a process of its own started for the round.
    WriterKind freshlyStarted(int rounds) {
        return {"fresh",
                [this](int round) -> pid_t {
                    fresh = std::make_unique<WriterProcess>(
                        QStringList{"killloop", root.path(), QString::number(round)}, root.path());
                    return fresh->awaitByte('R', kChildTimeoutMs) ? fresh->pid() : -1;
                },
                [this](pid_t) { return fresh->finish(kChildTimeoutMs); }, rounds, 30000};
    }

    // The file must be one of the states the round passed through: the dictionary before it,
    // then with each of the round's stores applied in turn. That state is the next "before".
    FileState judge(int round) {
        const QByteArray found = PropertyList::toXml(
            PropertyList::readDictionary(prefsPath()).value_or(QVariantMap{{"torn", true}}));
        QVariantMap candidate = state;
        for (qint64 applied = 0; applied <= kMaxWritesPerRound; ++applied) {
            if (PropertyList::toXml(candidate) == found) {
                state = candidate;
                return applied == 0 ? FileState::Old : FileState::New;
            }
            const WriterSequence::Write write = WriterSequence::killLoopWrite(round, applied);
            candidate.insert(write.key, write.value);
        }
        return FileState::Torn;
    }
};

TEST_F(PaneKillLoop, EveryKillLeavesTheOldOrTheNewDictionary) {
    // A store with its two syncs takes some 10-25 ms on a busy disk: kills within 3 ms mostly
    // land before the swap, kills within 30 ms also after whole stores.
    for (const WriterKind& writer :
         {inProcess("early", 500, 3000), inProcess("spread", 150, 30000), freshlyStarted(20)}) {
        const KillLoopCounts counts =
            runKillLoop(writer, prefsPath(), [this](int round) { return judge(round); });
        EXPECT_EQ(counts.old + counts.fresh, writer.rounds) << writer.name;
        EXPECT_TRUE(writer.name != "early" || counts.old > 0) << "no kill before a store landed";
    }
    // The next store keeps every entry and clears what the last killed writer left.
    ASSERT_TRUE(PreferenceStore(Pane::kPreferencesPath).storeEntry("after", true).ok);
    state.insert("after", true);
    EXPECT_EQ(PropertyList::readDictionary(prefsPath()), state);
    EXPECT_EQ(entriesIn(QFileInfo(prefsPath()).absolutePath()),
              QStringList{QFileInfo(prefsPath()).fileName()});
}

} // namespace
