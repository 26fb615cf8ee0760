#include "common/KillLoop.h"

#include "foundation/AtomicTempFile.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>

namespace {

struct Beside {
    int temporaryFiles = 0;
    QStringList strays;
};

Beside besideFile(const QString& path) {
    const QFileInfo info(path);
    const QByteArray name = QFile::encodeName(info.fileName());
    Beside beside;
    for (const QString& entry : info.dir().entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot)) {
        if (entry == info.fileName())
            continue;
        if (AtomicTempFile::isTempName(QFile::encodeName(entry), name))
            ++beside.temporaryFiles;
        else
            beside.strays.append(entry);
    }
    return beside;
}

} // namespace

KillLoopCounts runKillLoop(const WriterKind& writer, const QString& path,
                           const std::function<FileState(int round)>& judge, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, writer.maxDelayMicroseconds);
    KillLoopCounts counts;
    for (int round = 0; round < writer.rounds; ++round) {
        SCOPED_TRACE(testing::Message() << writer.name << ", round " << round);
        const pid_t pid = writer.start(round);
        if (pid <= 0) { // never a pid that would signal a whole group
            ADD_FAILURE() << "the writer did not start";
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(pid, SIGKILL);
        const std::optional<int> status = writer.reap(pid);
        if (!status || !WIFSIGNALED(*status) || WTERMSIG(*status) != SIGKILL) {
            ADD_FAILURE() << "the writer was not reaped, or ended by itself: "
                          << status.value_or(-1);
            break;
        }
        const FileState state = judge(round);
        if (state == FileState::Torn) {
            ADD_FAILURE() << "torn or mixed file, " << QFileInfo(path).size() << " bytes";
            break;
        }
        ++(state == FileState::Old ? counts.old : counts.fresh);
        const Beside beside = besideFile(path);
        EXPECT_LE(beside.temporaryFiles, 1) << "temporary files pile up";
        EXPECT_TRUE(beside.strays.isEmpty()) << beside.strays.join(' ').toStdString();
        counts.leftTemporaryFile += beside.temporaryFiles;
    }
    return counts;
}
