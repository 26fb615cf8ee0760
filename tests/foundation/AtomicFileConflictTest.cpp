#include "FileBytes.h"

#include "foundation/AtomicFile.h"
#include "foundation/AtomicFileFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace {

QStringList entriesOf(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class AtomicFileConflict : public testing::Test {
protected:
    void SetUp() override { path = dir.filePath("prefs.plist"); }
    void TearDown() override { AtomicFileFaults::reset(); }

    QTemporaryDir dir;
    QString path;
};

// Another writer's doing between our read and our write.
struct Interference {
    const char* name;
    bool existedWhenRead;
    std::function<void(const QString& path)> apply;
};

TEST_F(AtomicFileConflict, StaleExpectationRefusesAndLeavesTheirFileAlone) {
    const std::vector<Interference> cases = {
        {"rewritten in place", true, [](auto& p) { writeFile(p, "theirs, in place"); }},
        {"replaced by rename", true,
         [](auto& p) { ASSERT_TRUE(AtomicFile::replace(p, "theirs, renamed").ok); }},
        {"removed", true, [](auto& p) { ASSERT_TRUE(QFile::remove(p)); }},
        {"created", false, [](auto& p) { writeFile(p, "theirs, new"); }},
    };
    for (const Interference& interference : cases) {
        QFile::remove(path);
        if (interference.existedWhenRead)
            writeFile(path, "as read");
        const std::optional<FileIdentity> seen = FileIdentity::of(path);
        interference.apply(path);
        const QByteArray theirs = readAll(path);
        const QStringList entries = entriesOf(dir);

        const FileWriteResult result = AtomicFile::replace(path, "ours", &seen);
        EXPECT_FALSE(result.ok) << interference.name;
        EXPECT_TRUE(result.conflict) << interference.name;
        EXPECT_TRUE(result.error.startsWith("conflict")) << result.error.toStdString();
        EXPECT_EQ(readAll(path), theirs) << interference.name;
        EXPECT_EQ(entriesOf(dir), entries) << interference.name; // no temporary file left
    }
}

TEST_F(AtomicFileConflict, MatchingExpectationWrites) {
    const std::optional<FileIdentity> missing;
    FileWriteResult result = AtomicFile::replace(path, "first", &missing);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_FALSE(result.conflict);

    const std::optional<FileIdentity> seen = FileIdentity::of(path);
    result = AtomicFile::replace(path, "second", &seen);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(readAll(path), "second");
    EXPECT_NE(FileIdentity::of(path), seen);
    // The identity we started from is now stale in its turn.
    EXPECT_TRUE(AtomicFile::replace(path, "third", &seen).conflict);
    EXPECT_EQ(readAll(path), "second");
}

std::function<void()> duringSync;

TEST_F(AtomicFileConflict, AChangeWhileOurTemporaryFileIsWrittenIsCaught) {
    writeFile(path, "as read");
    const std::optional<FileIdentity> seen = FileIdentity::of(path);
    const QString target = path;
    duringSync = [target] { writeFile(target, "theirs, mid-write"); };
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    ops.fsync = [](int fd) {
        duringSync();
        return ::fsync(fd);
    };
    AtomicFileFaults::install(ops);
    const FileWriteResult result = AtomicFile::replace(path, "ours", &seen);
    AtomicFileFaults::reset();
    EXPECT_TRUE(result.conflict);
    EXPECT_EQ(readAll(path), "theirs, mid-write");
    EXPECT_EQ(entriesOf(dir), QStringList{"prefs.plist"});
}

TEST_F(AtomicFileConflict, RereadAndRetryAfterAConflictSucceeds) {
    writeFile(path, "a=1");
    std::optional<FileIdentity> seen = FileIdentity::of(path);
    writeFile(path, "a=1 b=2"); // someone else's edit
    FileWriteResult result = AtomicFile::replace(path, "a=1 c=3", &seen);
    ASSERT_TRUE(result.conflict);
    seen = FileIdentity::of(path);
    const QByteArray merged = readAll(path) + " c=3";
    result = AtomicFile::replace(path, merged, &seen);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(readAll(path), "a=1 b=2 c=3");
}

TEST_F(AtomicFileConflict, OtherFailuresAreNotConflicts) {
    const std::optional<FileIdentity> missing;
    const FileWriteResult result =
        AtomicFile::replace(dir.filePath("no/such/dir/prefs.plist"), "ours", &missing);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.conflict);
    EXPECT_TRUE(result.error.startsWith("create temporary file")) << result.error.toStdString();
}

} // namespace

namespace {

std::function<void()> beforeSwap;

// The swap fires the interference first, so it lands after every check and before the swap.
AtomicFileOps opsInterferingAtSwap() {
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    ops.rename = [](const char* from, const char* to, unsigned flags) {
        if (beforeSwap)
            std::exchange(beforeSwap, nullptr)();
        return AtomicFileFaults::systemOps().rename(from, to, flags);
    };
    return ops;
}

// Whatever lands in the last moment is never silently lost: a replacement is swapped out and
// handed back for merging (ours is in place, as `written` says), a new file is left alone.
TEST_F(AtomicFileConflict, AReplacementInTheLastMomentIsHandedBack) {
    const QString other = dir.filePath("other");
    struct Case {
        const char* name;
        bool existedWhenRead;
        QByteArray expectedInPlace;
        std::optional<QByteArray> expectedDisplaced;
    };
    const Case cases[] = {
        {"replaced by rename", true, "ours", QByteArray("theirs")},
        {"created", false, "theirs", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path);
        if (c.existedWhenRead)
            writeFile(path, "as read");
        const std::optional<FileIdentity> seen = FileIdentity::of(path);
        beforeSwap = [&] {
            writeFile(other, "theirs");
            ASSERT_EQ(::rename(QFile::encodeName(other), QFile::encodeName(path)), 0);
        };
        AtomicFileFaults::install(opsInterferingAtSwap());
        const FileWriteResult result = AtomicFile::replace(path, "ours", &seen);
        AtomicFileFaults::reset();
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.conflict);
        EXPECT_EQ(readAll(path), c.expectedInPlace);
        EXPECT_EQ(result.displaced, c.expectedDisplaced);
        EXPECT_EQ(result.written.has_value(), c.expectedDisplaced.has_value());
        if (result.written) {
            EXPECT_EQ(result.written, FileIdentity::of(path));
        }
        EXPECT_EQ(entriesOf(dir), QStringList{"prefs.plist"}); // nothing left behind
    }
}

TEST_F(AtomicFileConflict, AWriteThatWentInReportsWhatItLeft) {
    writeFile(path, "as read");
    const std::optional<FileIdentity> seen = FileIdentity::of(path);
    const FileWriteResult result = AtomicFile::replace(path, "ours", &seen);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_FALSE(result.displaced);
    EXPECT_EQ(result.written, FileIdentity::of(path));
    EXPECT_EQ(entriesOf(dir), QStringList{"prefs.plist"});
}

} // namespace
