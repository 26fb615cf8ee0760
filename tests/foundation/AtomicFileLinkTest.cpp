#include "FileBytes.h"

#include "foundation/AtomicFile.h"
#include "foundation/AtomicFileFaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray linkText(const QString& link) {
    char buffer[4096];
    const ssize_t length = ::readlink(encoded(link).constData(), buffer, sizeof buffer);
    return length < 0 ? QByteArray("<not a link>") : QByteArray(buffer, length);
}

struct stat statOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(encoded(path).constData(), &st), 0) << path.toStdString();
    return st;
}

QStringList hiddenIn(const QString& dir) {
    return QDir(dir).entryList(QStringList{".*"}, QDir::Files | QDir::Hidden | QDir::System);
}

class AtomicFileLink : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(root.path()).mkpath("prefs"));
        ASSERT_TRUE(QDir(root.path()).mkpath("store"));
        prefs = root.filePath("prefs");
        store = root.filePath("store");
    }
    void TearDown() override { AtomicFileFaults::reset(); }

    QTemporaryDir root;
    QString prefs, store;
};

// How the preference file leads to the real one; the real file is store/real.plist.
struct LinkShape {
    const char* name;
    std::vector<std::pair<const char*, const char*>> links; // (link in prefs/, its text)
};

TEST_F(AtomicFileLink, WritesThroughToTheTargetAndKeepsTheLink) {
    const std::vector<LinkShape> shapes = {
        {"relative", {{"p.plist", "../store/real.plist"}}},
        {"absolute", {{"p.plist", "<store>/real.plist"}}},
        {"chain", {{"p.plist", "hop.plist"}, {"hop.plist", "../store/real.plist"}}},
        {"through a linked directory",
         {{"p.plist", "dirlink/real.plist"}, {"dirlink", "../store"}}},
    };
    for (const LinkShape& shape : shapes) {
        for (const QString& entry : QDir(prefs).entryList(QDir::AllEntries | QDir::System |
                                                          QDir::NoDotAndDotDot | QDir::Hidden))
            ASSERT_TRUE(QFile::remove(prefs + "/" + entry));
        writeFile(store + "/real.plist", "old");
        ASSERT_EQ(::chmod(encoded(store + "/real.plist").constData(), 0640), 0);
        for (const auto& [link, text] : shape.links) {
            const QByteArray target = QByteArray(text).replace("<store>", encoded(store));
            ASSERT_EQ(::symlink(target.constData(), encoded(prefs + "/" + link).constData()), 0);
        }
        const QString path = prefs + "/p.plist";
        const QByteArray before = linkText(path);

        const FileWriteResult result = AtomicFile::replace(path, "new");
        ASSERT_TRUE(result.ok) << shape.name << ": " << result.error.toStdString();
        EXPECT_TRUE(QFileInfo(path).isSymLink()) << shape.name;
        EXPECT_EQ(linkText(path), before) << shape.name;
        EXPECT_EQ(readAll(store + "/real.plist"), "new") << shape.name;
        EXPECT_EQ(statOf(store + "/real.plist").st_mode & 07777, mode_t(0640)) << shape.name;
        EXPECT_TRUE(hiddenIn(prefs).isEmpty()) << shape.name;
        EXPECT_TRUE(hiddenIn(store).isEmpty()) << shape.name;
    }
}

TEST_F(AtomicFileLink, DanglingLinkCreatesItsTarget) {
    const QString path = prefs + "/p.plist";
    ASSERT_EQ(::symlink("../store/fresh.plist", encoded(path).constData()), 0);
    const FileWriteResult result = AtomicFile::replace(path, "created");
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(linkText(path), "../store/fresh.plist");
    EXPECT_EQ(readAll(store + "/fresh.plist"), "created");
}

TEST_F(AtomicFileLink, UnresolvableLinksFailAndStayAsTheyAre) {
    const QString loop = prefs + "/loop.plist";
    ASSERT_EQ(::symlink("loop.plist", encoded(loop).constData()), 0);
    const QString intoNowhere = prefs + "/nowhere.plist";
    ASSERT_EQ(::symlink("../absent/dir/x.plist", encoded(intoNowhere).constData()), 0);
    const std::vector<std::pair<QString, QString>> cases = {
        {loop, QStringLiteral("resolve link: ") + strerror(ELOOP)},
        {intoNowhere, QStringLiteral("create temporary file: ") + strerror(ENOENT)},
    };
    for (const auto& [path, error] : cases) {
        const QByteArray before = linkText(path);
        const FileWriteResult result = AtomicFile::replace(path, "new");
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.conflict);
        EXPECT_EQ(result.error, error);
        EXPECT_EQ(linkText(path), before);
    }
    EXPECT_FALSE(QFileInfo::exists(root.filePath("absent")));
}

TEST_F(AtomicFileLink, ExpectedIdentityIsThatOfTheTarget) {
    writeFile(store + "/real.plist", "old");
    const QString path = prefs + "/p.plist";
    ASSERT_EQ(::symlink("../store/real.plist", encoded(path).constData()), 0);
    const std::optional<FileIdentity> seen = FileIdentity::of(path);
    ASSERT_TRUE(AtomicFile::replace(path, "ours", &seen).ok);
    writeFile(store + "/real.plist", "theirs");
    EXPECT_TRUE(AtomicFile::replace(path, "stale", &seen).conflict);
    EXPECT_EQ(readAll(store + "/real.plist"), "theirs");
    EXPECT_TRUE(QFileInfo(path).isSymLink());
}

class AtomicFileGroup : public AtomicFileLink {
protected:
    void SetUp() override {
        AtomicFileLink::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "changing a file's group to a foreign one needs root";
        const group* other = ::getgrnam("nogroup");
        otherGroup = other ? other->gr_gid : gid_t(65534);
        ASSERT_NE(otherGroup, ::getegid());
        path = store + "/real.plist";
        writeFile(path, "old");
        ASSERT_EQ(::chown(encoded(path).constData(), uid_t(-1), otherGroup), 0);
    }
    gid_t otherGroup = 0;
    QString path;
};

TEST_F(AtomicFileGroup, GroupAndModeIncludingSetIdBitsAreKept) {
    for (mode_t mode : {mode_t(0640), mode_t(02750), mode_t(0604)}) {
        ASSERT_EQ(::chmod(encoded(path).constData(), mode), 0);
        const FileWriteResult result = AtomicFile::replace(path, "new");
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(statOf(path).st_gid, otherGroup);
        EXPECT_EQ(statOf(path).st_mode & 07777, mode);
    }
}

int injectedError = 0;

TEST_F(AtomicFileGroup, RefusedGroupChangeIsToleratedOtherErrorsAreNot) {
    const std::vector<std::pair<int, bool>> cases = {{EPERM, true}, {EIO, false}, {EROFS, false}};
    for (const auto& [error, written] : cases) {
        writeFile(path, "old");
        ASSERT_EQ(::chown(encoded(path).constData(), uid_t(-1), otherGroup), 0);
        injectedError = error;
        AtomicFileOps ops = AtomicFileFaults::systemOps();
        ops.fchown = [](int, uid_t, gid_t) { return errno = injectedError, -1; };
        AtomicFileFaults::install(ops);
        const FileWriteResult result = AtomicFile::replace(path, "new");
        AtomicFileFaults::reset();
        EXPECT_EQ(result.ok, written) << strerror(error);
        EXPECT_EQ(readAll(path), written ? "new" : "old");
        if (!written) {
            EXPECT_EQ(result.error, QStringLiteral("fchown: ") + strerror(error));
        }
        EXPECT_TRUE(hiddenIn(store).isEmpty());
    }
}

} // namespace
