#include "WriterProcess.h"
#include "common/TempDeviceRoot.h"
#include "pane/writer/WriterSequence.h"

#include "foundation/AtomicTempFile.h"
#include "foundation/PropertyList.h"
#include "pane/PreferenceStore.h"
#include "pane/TOLVPLAYERPreferencesListController.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSet>

#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace {

constexpr int kRounds = 1000;
constexpr int kFreshRounds = 30;
constexpr int kMaxKillDelayMicroseconds = 3000;
// A write with its two syncs takes some 10-25 ms on a busy disk, so kills within 3 ms of the
// start mostly land before the rename; a shorter loop with later kills covers the rest.
constexpr int kSpreadRounds = 300;
constexpr int kMaxSpreadDelayMicroseconds = 30000;
constexpr unsigned kKillDelaySeed = 20261206;
constexpr int kChildTimeoutMs = 30000;
// Far more writes than fit between a writer starting and a kill 3 ms later.
constexpr qint64 kMaxWritesPerRound = 100000;

const QString& prefsDevicePath() {
    return TOLVPLAYERPreferencesListController::kPreferencesPath;
}

// What one round left: how many of its writes the file holds (nullopt: the file is none of the
// states the round passed through), and the temporary files beside it.
struct RoundOutcome {
    std::optional<qint64> writesLanded;
    int tempFiles = 0;
    QSet<quint64> tempInodes; // tells this round's leftover from the one before
    QStringList strays;
    QByteArray bytes;
};

struct KillLoopCounts {
    int roundsOld = 0;     // the file is what it was before the round
    int roundsNew = 0;     // the file is the new dictionary of one of the round's writes
    int roundsPartial = 0; // anything else: a torn or mixed file
    qint64 writesLanded = 0;
    int roundsLeavingTemp = 0; // killed between making the temporary file and the rename
    int mostTempFiles = 0;
};

// The states a round passes through are the dictionary before it and that dictionary with the
// round's first n writes applied; the file must be exactly one of them.
std::optional<qint64> writesApplied(QVariantMap state, int round, const QVariantMap& found) {
    const QByteArray target = PropertyList::toXml(found);
    for (qint64 applied = 0; applied <= kMaxWritesPerRound; ++applied) {
        if (PropertyList::toXml(state) == target)
            return applied;
        const WriterSequence::Write write = WriterSequence::killLoopWrite(round, applied);
        state.insert(write.key, write.value);
    }
    return std::nullopt;
}

quint64 inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

QVariantMap afterWrites(QVariantMap state, int round, qint64 applied) {
    for (qint64 index = 0; index < applied; ++index) {
        const WriterSequence::Write write = WriterSequence::killLoopWrite(round, index);
        state.insert(write.key, write.value);
    }
    return state;
}

using StartWriter = std::function<std::optional<pid_t>(int round)>;
using ReapWriter = std::function<std::optional<int>()>;

class PaneKillLoop : public testing::Test {
protected:
    TempDeviceRoot root;
    // What the file held after the last round; entries the writer never touches are in it from
    // the start, so a write that dropped them would show.
    QVariantMap state{{"kept", "by every write"}, {"level", -1.0}};

    KillLoopCounts runRounds(int rounds, int maxDelayMicroseconds, const StartWriter& start,
                             const ReapWriter& reap);
    // The next write clears what the last killed writer left, and keeps every entry.
    void expectCleanAfterNextWrite();
    // Rounds of writers forked from one pane set up once.
    KillLoopCounts forkedRounds(const char* kind, int rounds, int maxDelayMicroseconds);

    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(PropertyList::writeDictionary(state, prefsPath()));
        ASSERT_TRUE(root.writeFile(
            WriterSequence::kKillLoopBundle + "Root.plist",
            PropertyList::toXml(QVariantMap{{"items", WriterSequence::killLoopRows()}})));
    }
    QString prefsPath() const { return root.hostPath(prefsDevicePath()); }

    RoundOutcome inspect(const QVariantMap& before, int round) const {
        RoundOutcome outcome;
        QFile file(prefsPath());
        if (file.open(QIODevice::ReadOnly))
            outcome.bytes = file.readAll();
        if (const std::optional<QVariant> parsed = PropertyList::parse(outcome.bytes);
            parsed && parsed->typeId() == QMetaType::QVariantMap)
            outcome.writesLanded = writesApplied(before, round, parsed->toMap());
        const QFileInfo info(prefsPath());
        const QByteArray name = QFile::encodeName(info.fileName());
        for (const QString& entry :
             info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (entry == info.fileName())
                continue;
            if (AtomicTempFile::isTempName(QFile::encodeName(entry), name)) {
                ++outcome.tempFiles;
                outcome.tempInodes.insert(inodeOf(info.dir().filePath(entry)));
            } else
                outcome.strays.append(entry);
        }
        return outcome;
    }
};

// A writer forked from one pane that is set up once: starting a fresh Qt process per round
// costs more than the whole loop may take on a small machine, and the fork happens while the
// pane has a single thread, so each writer is a faithful copy of a freshly started pane.
class ForkingWriter {
public:
    explicit ForkingWriter(const QString& deviceRoot)
        : _zygote({QStringLiteral("zygote"), deviceRoot}, deviceRoot) {}
    bool started() const { return _zygote.started(); }
    std::optional<pid_t> startRound(qint32 round) {
        qint32 pid = 0;
        if (!_zygote.send(&round, sizeof round) ||
            !_zygote.receive(&pid, sizeof pid, kChildTimeoutMs) || pid <= 0)
            return std::nullopt; // never a pid that would signal a whole group
        return pid_t(pid);
    }
    // The writer's wait status, once its parent has reaped it.
    std::optional<int> reap() {
        qint32 status = 0;
        if (!_zygote.send("W", 1) || !_zygote.receive(&status, sizeof status, kChildTimeoutMs))
            return std::nullopt;
        return int(status);
    }

private:
    WriterProcess _zygote;
};

void report(const char* kind, int rounds, const KillLoopCounts& counts, qint64 elapsedMs) {
    const std::string prefix(kind);
    const int ran = counts.roundsOld + counts.roundsNew + counts.roundsPartial;
    testing::Test::RecordProperty(prefix + "Rounds", ran);
    testing::Test::RecordProperty(prefix + "Old", counts.roundsOld);
    testing::Test::RecordProperty(prefix + "New", counts.roundsNew);
    testing::Test::RecordProperty(prefix + "Partial", counts.roundsPartial);
    testing::Test::RecordProperty(prefix + "LeavingTemp", counts.roundsLeavingTemp);
    std::cout << "kill loop (" << kind << "): " << ran << " of " << rounds << " rounds in "
              << elapsedMs << " ms; file old " << counts.roundsOld << ", new " << counts.roundsNew
              << ", partial or mixed " << counts.roundsPartial << "; " << counts.writesLanded
              << " writes landed; killed mid-write (temporary file left) "
              << counts.roundsLeavingTemp << " times; most temporary files at once "
              << counts.mostTempFiles << "\n";
}

// Kills a writer at a seeded random moment in each round and checks what the file holds.
KillLoopCounts PaneKillLoop::runRounds(int rounds, int maxDelayMicroseconds,
                                       const StartWriter& start, const ReapWriter& reap) {
    std::mt19937 random(kKillDelaySeed);
    std::uniform_int_distribution<int> delay(0, maxDelayMicroseconds);
    KillLoopCounts counts;
    QSet<quint64> leftover;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        const std::optional<pid_t> pid = start(round);
        if (!pid || *pid <= 0) {
            ADD_FAILURE() << "the writer did not start";
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(*pid, SIGKILL);
        const std::optional<int> status = reap();
        if (!status || !WIFSIGNALED(*status) || WTERMSIG(*status) != SIGKILL) {
            ADD_FAILURE() << "the writer was not reaped or ended by itself: "
                          << status.value_or(-1);
            break;
        }
        const RoundOutcome outcome = inspect(state, round);
        if (!outcome.writesLanded) {
            ++counts.roundsPartial;
            ADD_FAILURE() << "torn or mixed file:\n" << outcome.bytes.constData();
            break;
        }
        EXPECT_LE(outcome.tempFiles, 1) << "temporary files pile up";
        EXPECT_TRUE(outcome.strays.isEmpty()) << qPrintable(outcome.strays.join(' '));
        (*outcome.writesLanded == 0 ? counts.roundsOld : counts.roundsNew) += 1;
        counts.writesLanded += *outcome.writesLanded;
        if (!outcome.tempInodes.isEmpty() && outcome.tempInodes != leftover)
            ++counts.roundsLeavingTemp;
        leftover = outcome.tempInodes;
        counts.mostTempFiles = std::max(counts.mostTempFiles, outcome.tempFiles);
        state = afterWrites(state, round, *outcome.writesLanded);
    }
    return counts;
}

void PaneKillLoop::expectCleanAfterNextWrite() {
    ASSERT_TRUE(PreferenceStore(prefsDevicePath()).storeEntry("after", true));
    QVariantMap withAfter = state;
    withAfter.insert("after", true);
    const RoundOutcome last = inspect(withAfter, 0);
    EXPECT_EQ(last.writesLanded, 0) << "the next write lost or changed entries";
    EXPECT_EQ(last.tempFiles, 0) << "the next write left the killed writer's temporary file";
    EXPECT_TRUE(last.strays.isEmpty());
}

KillLoopCounts PaneKillLoop::forkedRounds(const char* kind, int rounds, int maxDelayMicroseconds) {
    ForkingWriter writer(root.path());
    EXPECT_TRUE(writer.started()) << qPrintable(WriterProcess::program());
    QElapsedTimer timer;
    timer.start();
    const KillLoopCounts counts = runRounds(
        rounds, maxDelayMicroseconds, [&](int round) { return writer.startRound(round); },
        [&] { return writer.reap(); });
    report(kind, rounds, counts, timer.elapsed());
    EXPECT_EQ(counts.roundsOld + counts.roundsNew, rounds);
    EXPECT_EQ(state.value("kept"), "by every write");
    return counts;
}

TEST_F(PaneKillLoop, EveryKillLeavesTheOldOrTheNewDictionaryAndNoPileOfTemporaryFiles) {
    const KillLoopCounts counts = forkedRounds("forked", kRounds, kMaxKillDelayMicroseconds);
    // Some kills came before anything of the round reached the file.
    EXPECT_GT(counts.roundsOld, 0);
    expectCleanAfterNextWrite();
}

TEST_F(PaneKillLoop, KillsSpreadOverWholeWritesLeaveTheSame) {
    const KillLoopCounts counts =
        forkedRounds("spread", kSpreadRounds, kMaxSpreadDelayMicroseconds);
    // Some kills came after a whole write had landed.
    EXPECT_GT(counts.roundsNew, 0);
    expectCleanAfterNextWrite();
}

// The same with a freshly started process per round, fewer rounds: the forked writers above
// must behave as started ones do.
TEST_F(PaneKillLoop, FreshlyStartedWritersLeaveTheSame) {
    std::unique_ptr<WriterProcess> child;
    QElapsedTimer timer;
    timer.start();
    const KillLoopCounts counts = runRounds(
        kFreshRounds, kMaxKillDelayMicroseconds,
        [&](int round) -> std::optional<pid_t> {
            child = std::make_unique<WriterProcess>(
                QStringList{QStringLiteral("killloop"), root.path(), QString::number(round)},
                root.path());
            if (!child->started() || !child->awaitByte('R', kChildTimeoutMs))
                return std::nullopt;
            return child->pid();
        },
        [&] { return std::optional<int>(child->wait()); });
    report("fresh", kFreshRounds, counts, timer.elapsed());
    EXPECT_EQ(counts.roundsOld + counts.roundsNew, kFreshRounds);
    EXPECT_EQ(state.value("kept"), "by every write");
    expectCleanAfterNextWrite();
}

} // namespace
