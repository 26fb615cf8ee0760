#include "foundation/AtomicFile.h"
#include "common/TestName.h"
#include "foundation/AtomicFileFaults.h"
#include "foundation/AtomicTempFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    return st.st_mode & 07777;
}

// Every directory entry but the given file: leftovers of a write.
QStringList othersIn(const QTemporaryDir& dir, const QString& keep) {
    QStringList entries =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    entries.removeAll(keep);
    return entries;
}

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("prefs.plist");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(oldBytes);
    }
    void TearDown() override { AtomicFileFaults::reset(); }

    QTemporaryDir dir;
    QString path;
    const QByteArray oldBytes = "old content, byte for byte";
    const QByteArray newBytes = QByteArray("new content ").repeated(1000);
};

TEST_F(AtomicFileTest, ReplacesContentAndLeavesNothingBehind) {
    const FileWriteResult result = AtomicFile::replace(path, newBytes);
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(readAll(path), newBytes);
    EXPECT_TRUE(othersIn(dir, "prefs.plist").isEmpty());
}

TEST_F(AtomicFileTest, KeepsPermissionBits) {
    for (mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0755), mode_t(0444)}) {
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        ASSERT_TRUE(AtomicFile::replace(path, newBytes).ok);
        EXPECT_EQ(modeOf(path), mode);
    }
}

TEST_F(AtomicFileTest, NewFileGets0644LessTheUmask) {
    const mode_t previous = ::umask(027);
    const FileWriteResult result = AtomicFile::replace(dir.filePath("fresh.plist"), newBytes);
    ::umask(previous);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(modeOf(dir.filePath("fresh.plist")), mode_t(0640));
}

TEST_F(AtomicFileTest, UnwritablePlacesFailCleanly) {
    QFile blocker(dir.filePath("regular"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QDir().mkdir(dir.filePath("adir")));
    const std::vector<std::pair<QString, QString>> cases = {
        {dir.filePath("missing/prefs.plist"), "create temporary file"},
        {dir.filePath("regular/prefs.plist"), "create temporary file"}, // parent is a file
        {dir.filePath("adir"), "target"},
        {QString(), "path"},
    };
    for (const auto& [target, step] : cases) {
        const FileWriteResult result = AtomicFile::replace(target, newBytes);
        EXPECT_FALSE(result.ok) << target.toStdString();
        EXPECT_TRUE(result.error.startsWith(step)) << result.error.toStdString();
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("adir")).isDir());
    EXPECT_EQ(readAll(path), oldBytes);
}

TEST_F(AtomicFileTest, PartialWritesAndInterruptionsAreResumed) {
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    ops.write = [](int fd, const void* bytes, size_t count) -> ssize_t {
        static int call = 0;
        if (++call % 3 == 0) {
            errno = EINTR;
            return -1;
        }
        return ::write(fd, bytes, count < 7 ? count : 7);
    };
    AtomicFileFaults::install(ops);
    ASSERT_TRUE(AtomicFile::replace(path, newBytes).ok);
    EXPECT_EQ(readAll(path), newBytes);
}

TEST_F(AtomicFileTest, StaleTemporaryFilesAreRemovedButLiveOnesKept) {
    // A killed writer's file (no lock) goes; one whose writer still holds its lock stays. While
    // another writer is at work nothing goes: a file it swapped out lies unlocked under its
    // temporary name until it has read it.
    const int otherWriter = AtomicTempFile::enterDirectory(QFile::encodeName(dir.path()),
                                                           QByteArrayLiteral("prefs.plist"));
    ASSERT_GE(otherWriter, 0);
    const QString stale = dir.filePath(".prefs.plist.Ab12Cd");
    const QString live = dir.filePath(".prefs.plist.Zz99Yy");
    const QString unrelated = dir.filePath(".prefs.plist.toolongname");
    for (const QString& p : {stale, live, unrelated}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const int liveFd = ::open(QFile::encodeName(live).constData(), O_RDONLY);
    ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);
    ASSERT_TRUE(AtomicFile::replace(path, newBytes).ok);
    EXPECT_TRUE(QFile::exists(stale));
    ::close(otherWriter);
    ASSERT_TRUE(AtomicFile::replace(path, newBytes).ok);
    ::close(liveFd);
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(live));
    EXPECT_TRUE(QFile::exists(unrelated));
}

// One failing step: which operation fails, with which error.
struct Fault {
    const char* step;
    int error;
    bool replacedAnyway; // the rename had already happened
};

int injectedError = 0;

AtomicFileOps opsFailing(const std::string& step) {
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    if (step == "create temporary file")
        ops.openTemp = [](const char*, int, mode_t) { return errno = injectedError, -1; };
    if (step == "write")
        ops.write = [](int, const void*, size_t) -> ssize_t { return errno = injectedError, -1; };
    if (step == "fchmod")
        ops.fchmod = [](int, mode_t) { return errno = injectedError, -1; };
    if (step == "fsync")
        ops.fsync = [](int) { return errno = injectedError, -1; };
    if (step == "close") // the descriptor is released even when close reports an error
        ops.close = [](int fd) { return ::close(fd), errno = injectedError, -1; };
    if (step == "rename")
        ops.rename = [](const char*, const char*, unsigned) { return errno = injectedError, -1; };
    if (step == "open directory")
        ops.openDirectory = [](const char*, int) { return errno = injectedError, -1; };
    if (step == "fsync directory")
        ops.fsyncDirectory = [](int) { return errno = injectedError, -1; };
    return ops;
}

class AtomicFileFault : public AtomicFileTest, public testing::WithParamInterface<Fault> {};

TEST_P(AtomicFileFault, ReportsStepAndReasonAndKeepsOldFile) {
    const Fault& fault = GetParam();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0); // makes fchmod run
    injectedError = fault.error;
    AtomicFileFaults::install(opsFailing(fault.step));
    const FileWriteResult result = AtomicFile::replace(path, newBytes);
    AtomicFileFaults::reset();
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(bool(result));
    EXPECT_TRUE(result.error.startsWith(fault.step)) << result.error.toStdString();
    EXPECT_TRUE(result.error.endsWith(QString::fromLocal8Bit(strerror(fault.error))))
        << result.error.toStdString();
    EXPECT_EQ(readAll(path), fault.replacedAnyway ? newBytes : oldBytes);
    EXPECT_TRUE(othersIn(dir, "prefs.plist").isEmpty())
        << othersIn(dir, "prefs.plist").join(' ').toStdString();
}

std::vector<Fault> faults() {
    std::vector<Fault> all;
    for (int error : {ENOSPC, EIO, EACCES}) {
        for (const char* step : {"create temporary file", "write", "fchmod", "fsync", "rename"})
            all.push_back({step, error, false});
        // The temporary file stays open until it is in place, so its lock keeps cleaners off.
        for (const char* step : {"close", "open directory", "fsync directory"})
            all.push_back({step, error, true});
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(AtomicFile, AtomicFileFault, testing::ValuesIn(faults()),
                         [](const auto& info) {
                             return testName(std::string(info.param.step) + "_" +
                                             strerrorname_np(info.param.error));
                         });

TEST_F(AtomicFileTest, WriteWithoutProgressFailsInsteadOfSpinning) {
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    ops.write = [](int, const void*, size_t) -> ssize_t { return 0; };
    AtomicFileFaults::install(ops);
    const FileWriteResult result = AtomicFile::replace(path, newBytes);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith("write"));
    EXPECT_EQ(readAll(path), oldBytes);
}

} // namespace
