#include "foundation/AtomicFile.h"
#include "common/FaultPoints.h"
#include "common/Files.h"
#include "foundation/AtomicTempFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>

namespace {

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeFile(path, oldBytes)); }
    void TearDown() override { AtomicFileFaults::reset(); }
    // Everything beside the file: what a write left behind.
    QStringList leftovers() const {
        QStringList entries = entriesIn(dir.path());
        entries.removeAll("prefs.plist");
        return entries;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    const QByteArray oldBytes = "old content, byte for byte";
    const QByteArray newBytes = QByteArray("new content ").repeated(1000);
};

class AtomicFileFault : public AtomicFileTest, public testing::WithParamInterface<FaultPoint> {};

// Each step failing: the error names the step and the reason, the old file is untouched (or,
// past the swap, the new one is whole), and nothing is left beside it.
TEST_P(AtomicFileFault, ReportsStepAndReasonAndLeavesOneWholeFile) {
    const FaultPoint& fault = GetParam();
    const std::optional<gid_t> group = otherGroup();
    if (std::string_view(fault.step) == "fchown" && !group)
        GTEST_SKIP() << "this user belongs to a single group, so the group never changes";
    if (group) { // keeping the file's group then takes a chown
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), uid_t(-1), *group), 0);
    }
    FileWriteResult result;
    {
        FaultInjection injection(fault);
        result = AtomicFile::replace(path, newBytes);
        EXPECT_GE(injection.hits(), 1) << "the failing step never ran";
    }
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith(fault.step)) << result.error.toStdString();
    EXPECT_TRUE(result.error.endsWith(QString::fromLocal8Bit(strerror(fault.error))))
        << result.error.toStdString();
    EXPECT_EQ(readAll(path), fault.afterSwap ? newBytes : oldBytes);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(AtomicFile, AtomicFileFault, testing::ValuesIn(faultPoints()),
                         faultPointName);

int refuseGroup(int, uid_t, gid_t) {
    return errno = EPERM, -1;
}

// The new file takes over the old one's mode, set-id bits and group; a new file gets 0644
// less the umask; a writer the system will not let give the file its group still writes.
TEST_F(AtomicFileTest, NewFileTakesOverModeAndGroup) {
    const std::optional<gid_t> other = otherGroup();
    const struct {
        const char* what;
        std::optional<mode_t> mode; // none: no file before
        bool foreignGroup;
        bool groupRefused;
        mode_t expectedMode;
    } cases[] = {
        {"private", 0600, false, false, 0600},
        {"set-group-id, foreign group", 02750, true, false, 02750},
        {"group change refused", 0640, true, true, 0640},
        {"no file before, umask 027", std::nullopt, false, false, 0640},
    };
    QStringList skipped;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.foreignGroup && !other) { // said below, not passed over in silence
            skipped.append(c.what);
            continue;
        }
        QFile::remove(path);
        if (c.mode) {
            ASSERT_TRUE(writeFile(path, oldBytes));
            if (c.foreignGroup) {
                ASSERT_EQ(::chown(QFile::encodeName(path).constData(), uid_t(-1), *other), 0);
            }
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), *c.mode), 0);
        }
        AtomicFileOps ops = AtomicFileFaults::systemOps();
        if (c.groupRefused)
            ops.fchown = refuseGroup;
        AtomicFileFaults::install(ops);
        const mode_t umask = ::umask(027);
        const FileWriteResult result = AtomicFile::replace(path, newBytes);
        ::umask(umask);
        AtomicFileFaults::reset();
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(readAll(path), newBytes);
        EXPECT_EQ(modeOf(path), c.expectedMode);
        EXPECT_EQ(statOf(path).st_gid, c.foreignGroup && !c.groupRefused ? *other : ::getegid());
    }
    if (!skipped.isEmpty())
        GTEST_SKIP() << "this user belongs to a single group: " << skipped.join(", ").toStdString();
}

// Every kind of target: a link, however it leads to the file, is written through (the link
// stays; the file at its end gets the bytes and keeps its mode, or is made); a target that
// cannot be written fails, naming why, and nothing changes.
TEST(AtomicFileTargets, LinksAreWrittenThroughAndUnwritableTargetsLeftAsTheyAre) {
    const struct {
        const char* target;
        std::vector<std::pair<const char*, const char*>> links; // name, text
        QString error;                                          // empty: written
        const char* written;                                    // where the bytes land
    } cases[] = {
        {"p", {{"p", "store/real"}}, {}, "store/real"},
        {"p", {{"p", "store/fresh"}}, {}, "store/fresh"},
        {"missing/p", {}, "create temporary file: " + QString(strerror(ENOENT)), nullptr},
        {"store", {}, "target: " + QString(strerror(EISDIR)), nullptr},
        {"p", {{"p", "p"}}, "resolve link: " + QString(strerror(ELOOP)), nullptr},
        {"p", {{"p", "absent/p"}}, "create temporary file: " + QString(strerror(ENOENT)), nullptr},
    };
    const mode_t umask = ::umask(0);
    ::umask(umask);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.target << " -> " << (c.links.empty() ? "" : c.links[0].second));
        QTemporaryDir dir;
        ASSERT_TRUE(writeFile(dir.filePath("store/real"), "old"));
        ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath("store/real")), 0640), 0);
        for (const auto& [name, to] : c.links)
            ASSERT_EQ(::symlink(to, QFile::encodeName(dir.filePath(name))), 0);
        const QStringList before = entriesIn(dir.path()) + entriesIn(dir.filePath("store"));
        const std::optional<FileIdentity> missing;
        const FileWriteResult result =
            AtomicFile::replace(dir.filePath(c.target), "new", c.written ? nullptr : &missing);
        EXPECT_EQ(result.error, c.error);
        EXPECT_FALSE(result.conflict);
        if (c.written) {
            EXPECT_EQ(readAll(dir.filePath(c.written)), "new");
            EXPECT_EQ(modeOf(dir.filePath(c.written)),
                      QByteArray(c.written) == "store/real" ? 0640 : 0644 & ~umask);
        }
        for (const auto& link : c.links)
            EXPECT_TRUE(QFileInfo(dir.filePath(link.first)).isSymLink()) << link.first;
        QStringList after = entriesIn(dir.path()) + entriesIn(dir.filePath("store"));
        after.removeAll("fresh"); // made through the dangling link
        EXPECT_EQ(after, before); // the links stay; no temporary file anywhere
        if (!c.written) {
            EXPECT_EQ(readAll(dir.filePath("store/real")), "old");
        }
    }
}

TEST_F(AtomicFileTest, RemovesAKilledWritersTemporaryFileButNotALiveOne) {
    // A killed writer's file (no lock) goes; one whose writer still holds its lock stays. While
    // another writer is at work nothing goes: a file it swapped out lies unlocked under its
    // temporary name until it has read it.
    const int otherWriter = AtomicTempFile::enterDirectory(QFile::encodeName(dir.path()),
                                                           QByteArrayLiteral("prefs.plist"));
    ASSERT_GE(otherWriter, 0);
    const QString stale = dir.filePath(".prefs.plist.Ab12Cd");
    const QString live = dir.filePath(".prefs.plist.Zz99Yy");
    const QString unrelated = dir.filePath(".prefs.plist.toolongname");
    for (const QString& p : {stale, live, unrelated})
        ASSERT_TRUE(writeFile(p, ""));
    const int liveFd = ::open(QFile::encodeName(live).constData(), O_RDONLY);
    ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);
    ASSERT_TRUE(AtomicFile::replace(path, newBytes).ok);
    EXPECT_TRUE(QFile::exists(stale));
    ::close(otherWriter);
    ASSERT_TRUE(AtomicFile::replace(path, newBytes).ok);
    ::close(liveFd);
    EXPECT_EQ(leftovers(), (QStringList{".prefs.plist.Zz99Yy", ".prefs.plist.toolongname"}));
}

} // namespace
