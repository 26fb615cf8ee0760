#include "common/Files.h"

#include "foundation/FileIdentity.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

// File times come from the kernel's coarse clock (one scheduler tick); wait past one so a
// change gets a later time.
void pastOneTick() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// What a reader that kept a file's identity sees after each kind of change (or none): a new
// identity whenever the file changed, the same while it did not, none while there is no file.
TEST(FileIdentity, ChangesWheneverTheFileDoes) {
    enum Seen { Same, New, NewFile, None };
    const struct {
        const char* what;
        std::function<void(const QString& real, const QString& link)> change;
        Seen seen;
    } cases[] = {
        {"read", [](auto& real, auto&) { pastOneTick(), readAll(real); }, Same},
        {"rewritten in place, other size", [](auto& real, auto&) { writeFile(real, "longer"); },
         New},
        {"rewritten in place, same size",
         [](auto& real, auto&) { pastOneTick(), writeFile(real, "C"); }, New},
        {"replaced by rename, same bytes, at once",
         [](auto& real, auto&) {
             writeFile(real + ".new", "c");
             ::rename(QFile::encodeName(real + ".new"), QFile::encodeName(real));
         },
         NewFile},
        {"removed", [](auto& real, auto&) { QFile::remove(real); }, None},
        {"link pointed nowhere",
         [](auto&, auto& link) {
             QFile::remove(link);
             ::symlink("nowhere", QFile::encodeName(link));
         },
         None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString real = dir.filePath("real.plist"), link = dir.filePath("prefs.plist");
        writeFile(real, "c");
        ASSERT_EQ(::symlink("real.plist", QFile::encodeName(link)), 0); // read through a link
        const std::optional<FileIdentity> before = FileIdentity::of(link);
        ASSERT_EQ(before, FileIdentity::of(real));
        c.change(real, link);
        const std::optional<FileIdentity> after = FileIdentity::of(link);
        EXPECT_EQ(after.has_value(), c.seen != None);
        EXPECT_EQ(after == before, c.seen == Same);
        if (c.seen == NewFile) { // whatever the clock did: a replacement is another file
            EXPECT_NE(after->inode, before->inode);
        }
    }
    EXPECT_FALSE(FileIdentity::of(QString()).has_value());
}

} // namespace
