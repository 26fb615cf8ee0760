#include "common/Files.h"

#include "foundation/AtomicFile.h"
#include "foundation/AtomicFileFaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace {

// When another writer acts: before our write begins, while our temporary file is written, or
// in the last moment before the swap.
enum class When { Before, DuringWrite, AtSwap };

std::function<void()> interference;

AtomicFileOps opsInterferingAt(When when) {
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    if (when == When::DuringWrite)
        ops.fsync = [](int fd) { return std::exchange(interference, nullptr)(), ::fsync(fd); };
    if (when == When::AtSwap)
        ops.rename = [](const char* from, const char* to, unsigned flags) {
            std::exchange(interference, nullptr)();
            return AtomicFileFaults::systemOps().rename(from, to, flags);
        };
    return ops;
}

// A write that expects the file it read: another writer's change is never silently lost. A
// change before the swap refuses the write and leaves theirs; a replacement in the last moment
// is swapped out and handed back for merging (ours is in place, as `written` says).
TEST(AtomicFileConflict, AnotherWritersChangeIsRefusedOrHandedBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    const QString link = dir.filePath("link.plist");
    ASSERT_EQ(::symlink("prefs.plist", QFile::encodeName(link)), 0);
    const auto inPlace = [&] { writeFile(path, "theirs"); };
    const auto renamed = [&] {
        writeFile(dir.filePath("other"), "theirs");
        ASSERT_EQ(::rename(QFile::encodeName(dir.filePath("other")), QFile::encodeName(path)), 0);
    };
    const struct {
        const char* what;
        bool existedWhenRead;
        When when;
        std::function<void()> change; // none: nobody else writes
        bool throughLink;
        const char* left;                    // what the file holds after our write
        std::optional<QByteArray> displaced; // handed back
    } cases[] = {
        {"nobody else", true, When::Before, nullptr, false, "ours", std::nullopt},
        {"rewritten in place, read through a link", true, When::Before, inPlace, true, "theirs",
         std::nullopt},
        {"replaced by rename", true, When::Before, renamed, false, "theirs", std::nullopt},
        {"rewritten while ours is written", true, When::DuringWrite, inPlace, false, "theirs",
         std::nullopt},
        {"replaced at the swap", true, When::AtSwap, renamed, false, "ours", "theirs"},
        {"created at the swap", false, When::AtSwap, renamed, false, "theirs", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path);
        if (c.existedWhenRead)
            writeFile(path, "as read");
        const QString target = c.throughLink ? link : path;
        const std::optional<FileIdentity> seen = FileIdentity::of(target);
        if (c.change && c.when == When::Before)
            c.change();
        interference = c.change;
        AtomicFileFaults::install(opsInterferingAt(c.when));
        const FileWriteResult result = AtomicFile::replace(target, "ours", &seen);
        AtomicFileFaults::reset();

        const bool conflict = bool(c.change);
        EXPECT_EQ(result.ok, !conflict) << result.error.toStdString();
        EXPECT_EQ(result.conflict, conflict);
        EXPECT_EQ(readAll(path), c.left);
        EXPECT_EQ(result.displaced, c.displaced);
        // `written` names our file exactly when it went in.
        EXPECT_EQ(result.written.has_value(), QByteArray(c.left) == "ours");
        if (result.written) {
            EXPECT_EQ(result.written, FileIdentity::of(path));
        }
        EXPECT_EQ(entriesIn(dir.path()).size(), QFile::exists(path) ? 2 : 1); // and the link
        if (result.ok) { // what we read is now stale in its turn
            EXPECT_TRUE(AtomicFile::replace(target, "stale", &seen).conflict);
        }
    }
}

} // namespace
