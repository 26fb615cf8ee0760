#include "foundation/FileIdentity.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// File times come from the kernel's coarse clock (one scheduler tick); wait past one so an
// in-place rewrite gets a later time.
void pastOneTick() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

struct Change {
    const char* name;
    std::function<void(const QString& path, const QString& dir)> apply;
};

TEST(FileIdentity, MissingOrEmptyPathHasNone) {
    QTemporaryDir dir;
    EXPECT_FALSE(FileIdentity::of(dir.filePath("absent")).has_value());
    EXPECT_FALSE(FileIdentity::of(dir.filePath("absent/below")).has_value());
    EXPECT_FALSE(FileIdentity::of(QString()).has_value());
}

TEST(FileIdentity, UntouchedFileKeepsItsIdentityAndReadingDoesNotChangeIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    writeFile(path, "content");
    const std::optional<FileIdentity> before = FileIdentity::of(path);
    ASSERT_TRUE(before.has_value());
    pastOneTick();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "content");
    EXPECT_EQ(FileIdentity::of(path), before);
    EXPECT_EQ(before->size, 7);
}

TEST(FileIdentity, EveryKindOfChangeGivesANewIdentity) {
    const std::vector<Change> changes = {
        {"in-place write, other size", [](auto& p, auto&) { writeFile(p, "longer content"); }},
        {"in-place write, same size",
         [](auto& p, auto&) {
             pastOneTick();
             writeFile(p, "CONTENT");
         }},
        {"rename over, same bytes, at once",
         [](auto& p, auto& d) {
             writeFile(d + "/other", "content");
             ASSERT_EQ(::rename(QFile::encodeName(d + "/other"), QFile::encodeName(p)), 0);
         }},
        {"permission change",
         [](auto& p, auto&) {
             pastOneTick();
             ASSERT_EQ(::chmod(QFile::encodeName(p), 0600), 0);
         }},
    };
    for (const Change& change : changes) {
        QTemporaryDir dir;
        const QString path = dir.filePath("prefs.plist");
        writeFile(path, "content");
        const std::optional<FileIdentity> before = FileIdentity::of(path);
        ASSERT_TRUE(before.has_value());
        change.apply(path, dir.path());
        const std::optional<FileIdentity> after = FileIdentity::of(path);
        ASSERT_TRUE(after.has_value()) << change.name;
        EXPECT_NE(after, before) << change.name;
    }
}

TEST(FileIdentity, RenameReplacementAlwaysMeansANewInode) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    writeFile(path, "content");
    const FileIdentity before = *FileIdentity::of(path);
    writeFile(dir.filePath("other"), "content");
    ASSERT_EQ(::rename(QFile::encodeName(dir.filePath("other")), QFile::encodeName(path)), 0);
    const FileIdentity after = *FileIdentity::of(path);
    EXPECT_EQ(after.device, before.device);
    EXPECT_NE(after.inode, before.inode);
    EXPECT_EQ(after.size, before.size);
}

TEST(FileIdentity, ALinkHasTheIdentityOfItsTarget) {
    QTemporaryDir dir;
    const QString path = dir.filePath("real.plist");
    writeFile(path, "content");
    ASSERT_EQ(::symlink("real.plist", QFile::encodeName(dir.filePath("link.plist"))), 0);
    EXPECT_EQ(FileIdentity::of(dir.filePath("link.plist")), FileIdentity::of(path));
    ASSERT_EQ(::symlink("nowhere", QFile::encodeName(dir.filePath("dangling"))), 0);
    EXPECT_FALSE(FileIdentity::of(dir.filePath("dangling")).has_value());
}

} // namespace
