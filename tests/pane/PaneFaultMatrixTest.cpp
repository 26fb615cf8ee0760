#include "StoreOutcomeWatch.h"

#include "common/TestName.h"
#include "foundation/AtomicFileFaults.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <linux/capability.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// One disk fault: which step of the atomic write fails, and with which error.
struct Fault {
    const char* step;
    int error;
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.step << " " << strerrorname_np(fault.error);
}

int injectedError = 0;
int faultHits = 0;

// Any operation of the seam, failing; its parameter types are deduced from where it is put.
template <typename Result, typename... Args> Result failing(Args...) {
    ++faultHits;
    errno = injectedError;
    return Result(-1);
}

// The system's operations with one of them failing every time it is called.
AtomicFileOps opsFailing(std::string_view step, int error) {
    injectedError = error;
    faultHits = 0;
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    if (step == "create temporary file")
        ops.openTemp = failing<int>;
    else if (step == "write")
        ops.write = failing<ssize_t>;
    else if (step == "fchown")
        ops.fchown = failing<int>;
    else if (step == "fchmod")
        ops.fchmod = failing<int>;
    else if (step == "fsync")
        ops.fsync = failing<int>;
    else if (step == "close") // the descriptor is released even when close reports an error
        ops.close = [](int fd) { return ::close(fd), failing<int>(); };
    else if (step == "rename")
        ops.rename = failing<int>;
    else if (step == "open directory")
        ops.openDirectory = failing<int>;
    else if (step == "fsync directory")
        ops.fsyncDirectory = failing<int>;
    else
        ADD_FAILURE() << "unknown step " << step;
    return ops;
}

// After these the new file is already in place: a rename cannot be taken back. The temporary
// file is closed only once it is in place, since its descriptor holds the lock that keeps
// cleaners off it.
bool afterRename(std::string_view step) {
    return step == "close" || step == "open directory" || step == "fsync directory";
}

// Steps that only run when a file is being replaced (its mode and group are carried over).
bool replacesOnly(std::string_view step) {
    return step == "fchmod" || step == "fchown";
}

const char* const kAllSteps[] = {
    "create temporary file", "write",          "fchown", "fchmod", "fsync", "rename", "close",
    "open directory",        "fsync directory"};

// A group other than the one new files get, so that keeping the old group takes a chown.
std::optional<gid_t> otherGroup() {
    if (geteuid() == 0)
        return gid_t(getegid() + 4242);
    gid_t groups[64];
    const int count = getgroups(64, groups);
    for (int i = 0; i < count; ++i)
        if (groups[i] != getegid())
            return groups[i];
    return std::nullopt;
}

struct stat statOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

// A pane over a file {a: true, other: "kept"}, with what a store must and must not leave behind.
class PaneFaultStore : public PaneTest {
protected:
    void SetUp() override {
        load({groupRow("G"), controlRow("a", 1, {{"default", true}}), switchRow("b")});
        writePrefs({{"a", true}, {"other", "kept"}});
    }
    void TearDown() override { AtomicFileFaults::reset(); }

    QString prefsDir() const { return QFileInfo(prefsPath()).absolutePath(); }
    QString prefsName() const { return QFileInfo(prefsPath()).fileName(); }
    QStringList leftovers(const QStringList& alsoKeep = {}) const {
        return leftoversIn(prefsDir(), QStringList{prefsName()} + alsoKeep);
    }

    // A store through the pane while `step` fails with `error`.
    void storeFailing(std::string_view step, int error, const QVariant& value, int listIndex) {
        AtomicFileFaults::install(opsFailing(step, error));
        pane.setPreferenceValue(value, row(listIndex));
        AtomicFileFaults::reset();
        EXPECT_GE(faultHits, 1) << "the failing step never ran";
    }

    // The failure reached the user as exactly one warning naming the file and the reason, and
    // nobody was told to reload.
    void expectReported(StoreOutcomeWatch& watch, int error) {
        EXPECT_TRUE(watch.failedAndReported(prefsPath(), QString::fromLocal8Bit(strerror(error))));
    }
    // One store that must land: no warning, one announcement.
    void storeCleanly(const QVariant& value, int listIndex) {
        StoreOutcomeWatch watch;
        pane.setPreferenceValue(value, row(listIndex));
        EXPECT_TRUE(watch.landed());
    }

    // The pane goes on: with the disk healthy again the next store lands and is announced once.
    void expectNextStoreWorks(const QVariantMap& expected) {
        storeCleanly(true, 2);
        QVariantMap withB = expected;
        withB.insert("b", true);
        EXPECT_EQ(prefs(), withB);
        EXPECT_EQ(pane.readPreferenceValue(row(2)), true);
        EXPECT_EQ(pane.readPreferenceValue(row(1)), withB.value("a", true));
        EXPECT_TRUE(leftovers(movedAside()).isEmpty()) << leftovers().join(' ').toStdString();
    }
};

class PaneFaultMatrix : public PaneFaultStore, public testing::WithParamInterface<Fault> {};

TEST_P(PaneFaultMatrix, FailedStoreKeepsTheFileAndIsReportedNotAnnounced) {
    const Fault& fault = GetParam();
    const QString path = prefsPath();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    if (std::string_view(fault.step) == "fchown") {
        const std::optional<gid_t> group = otherGroup();
        if (!group)
            GTEST_SKIP() << "this user belongs to a single group, so the group never changes";
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), uid_t(-1), *group), 0);
    }
    const QByteArray before = root.readFile(kPrefsDevicePath);
    const struct stat old = statOf(path);
    {
        StoreOutcomeWatch watch;
        storeFailing(fault.step, fault.error, false, 1);
        expectReported(watch, fault.error);
    }
    const QVariantMap replaced{{"a", false}, {"other", "kept"}};
    if (afterRename(fault.step))
        EXPECT_EQ(prefs(), replaced);
    else
        EXPECT_EQ(root.readFile(kPrefsDevicePath), before);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    EXPECT_TRUE(movedAside().isEmpty());
    EXPECT_EQ(pane.readPreferenceValue(row(1)), afterRename(fault.step) ? false : true);

    expectNextStoreWorks(afterRename(fault.step) ? replaced
                                                 : QVariantMap{{"a", true}, {"other", "kept"}});
    const struct stat now = statOf(path);
    EXPECT_EQ(now.st_mode & 07777, old.st_mode & 07777);
    EXPECT_EQ(now.st_gid, old.st_gid);
}

std::vector<Fault> allFaults() {
    std::vector<Fault> faults;
    for (const char* step : kAllSteps)
        for (int error : {ENOSPC, EIO, EACCES})
            faults.push_back({step, error});
    return faults;
}

INSTANTIATE_TEST_SUITE_P(PaneFault, PaneFaultMatrix, testing::ValuesIn(allFaults()),
                         [](const auto& info) {
                             return testName(std::string(info.param.step) + "_" +
                                             strerrorname_np(info.param.error));
                         });

// The first store, before any file exists: a fault leaves no file and no debris behind.
TEST_F(PaneFaultStore, FailedFirstStoreLeavesNoFile) {
    for (const char* step : kAllSteps) {
        if (replacesOnly(step))
            continue;
        SCOPED_TRACE(step);
        ASSERT_TRUE(QFile::remove(prefsPath()));
        {
            StoreOutcomeWatch watch;
            storeFailing(step, EIO, false, 1);
            expectReported(watch, EIO);
        }
        EXPECT_EQ(QFile::exists(prefsPath()), afterRename(step));
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
        expectNextStoreWorks(afterRename(step) ? QVariantMap{{"a", false}} : QVariantMap{});
    }
}

// An unreadable file is moved aside before the write; when the write then fails, its bytes are
// still kept, exactly once, and stay kept through the next store.
TEST_F(PaneFaultStore, FailedStoreOverAnUnreadableFileKeepsItsBytes) {
    const QByteArray garbage("<plist><dict><key>a</key><true/>");
    // Where the garbage is now: at the path, or in the files moved aside.
    auto copiesOfGarbage = [&] {
        QByteArrayList copies{root.readFile(kPrefsDevicePath)};
        for (const QString& name : movedAside()) {
            QFile file(prefsDir() + "/" + name);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            copies.append(file.readAll());
        }
        return copies.count(garbage);
    };
    for (const char* step : kAllSteps) {
        if (replacesOnly(step))
            continue;
        SCOPED_TRACE(step);
        for (const QString& name : movedAside())
            ASSERT_TRUE(QFile::remove(prefsDir() + "/" + name));
        writePrefsBytes(garbage);
        {
            StoreOutcomeWatch watch;
            storeFailing(step, ENOSPC, false, 1);
            expectReported(watch, ENOSPC);
        }
        EXPECT_EQ(copiesOfGarbage(), 1);
        EXPECT_TRUE(leftovers(movedAside()).isEmpty()) << leftovers().join(' ').toStdString();
        expectNextStoreWorks(afterRename(step) ? QVariantMap{{"a", false}} : QVariantMap{});
        EXPECT_EQ(copiesOfGarbage(), 1);
    }
}

// Files the pane does not own: links to elsewhere, someone else's permissions and group, and
// places it may not write to.
class PaneFaultForeignFiles : public PaneFaultStore {
public:
    using PaneFaultStore::prefsDir;
    using PaneTest::prefsPath;
    using PaneTest::writePrefsBytes;

    QString lockDirectory(const QString& dir) {
        return ::chmod(QFile::encodeName(dir).constData(), 0555) == 0 ? QString()
                                                                      : QString("chmod failed");
    }
    void unlockDirectory(const QString& dir) { ::chmod(QFile::encodeName(dir).constData(), 0755); }
    QString elsewhere() const { return root.path() + "/elsewhere"; }
    QString target() const { return elsewhere() + "/real.plist"; }
    void makeTarget() {
        ASSERT_TRUE(QDir().mkpath(elsewhere()));
        ASSERT_TRUE(PropertyList::writeDictionary({{"a", true}, {"other", "kept"}}, target()));
    }
    void linkPrefsTo(const QString& text) {
        QFile::remove(prefsPath());
        ASSERT_EQ(::symlink(QFile::encodeName(text).constData(),
                            QFile::encodeName(prefsPath()).constData()),
                  0);
    }
    static QByteArray linkText(const QString& path) {
        char buffer[4096];
        const ssize_t n = ::readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer);
        return n < 0 ? QByteArray("<not a link>") : QByteArray(buffer, n);
    }
};

struct LinkCase {
    const char* name;
    bool relative;
    bool chain; // through a second link
};

void PrintTo(const LinkCase& c, std::ostream* out) {
    *out << c.name;
}

class PaneFaultLinks : public PaneFaultForeignFiles,
                       public testing::WithParamInterface<LinkCase> {};

TEST_P(PaneFaultLinks, WrittenThroughTheLinkWhichIsKept) {
    const LinkCase& c = GetParam();
    makeTarget();
    const QString middle = root.path() + "/middle.plist";
    QString pointsTo = target();
    if (c.chain) {
        ASSERT_EQ(::symlink("elsewhere/real.plist", QFile::encodeName(middle).constData()), 0);
        pointsTo = middle;
    }
    const QString text = c.relative ? QDir(prefsDir()).relativeFilePath(pointsTo) : pointsTo;
    linkPrefsTo(text);

    EXPECT_EQ(pane.readPreferenceValue(row(1)), true);
    storeCleanly(false, 1);
    storeCleanly(true, 2);

    EXPECT_EQ(linkText(prefsPath()), QFile::encodeName(text));
    if (c.chain)
        EXPECT_EQ(linkText(middle), QByteArray("elsewhere/real.plist"));
    const QVariantMap expected{{"a", false}, {"b", true}, {"other", "kept"}};
    EXPECT_EQ(PropertyList::readDictionary(target()), expected);
    EXPECT_EQ(pane.readPreferenceValue(row(1)), false);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    EXPECT_TRUE(leftoversIn(elsewhere(), {"real.plist"}).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(PaneFault, PaneFaultLinks,
                         testing::Values(LinkCase{"relative", true, false},
                                         LinkCase{"absolute", false, false},
                                         LinkCase{"relative_chain", true, true},
                                         LinkCase{"absolute_chain", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PaneFaultForeignFiles, PermissionBitsAndGroupAreKept) {
    const std::optional<gid_t> group = otherGroup();
    bool value = false;
    for (mode_t mode : {0600, 0640, 0660, 0604, 0664, 0400}) {
        value = !value;
        SCOPED_TRACE(mode);
        const QByteArray path = QFile::encodeName(prefsPath());
        ASSERT_EQ(::chmod(path.constData(), mode), 0);
        if (group)
            ASSERT_EQ(::chown(path.constData(), uid_t(-1), *group), 0);
        const struct stat old = statOf(prefsPath());
        storeCleanly(value, 2);
        const struct stat now = statOf(prefsPath());
        EXPECT_EQ(now.st_mode & 07777, mode);
        EXPECT_EQ(now.st_gid, old.st_gid);
        EXPECT_NE(now.st_ino, old.st_ino); // replaced, not edited in place
        EXPECT_EQ(pane.readPreferenceValue(row(2)), value);
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    }
}

// The superuser passes every permission check. This takes the overriding capabilities out of
// the effective set of the calling thread (where the pane stores) for the guard's lifetime, so
// a directory without write permission stops root as it stops anyone else.
class PermissionChecksEnforced {
public:
    PermissionChecksEnforced() {
        if (geteuid() != 0)
            return;
        if (::syscall(SYS_capget, &_header, _saved) != 0)
            return;
        __user_cap_data_struct reduced[_LINUX_CAPABILITY_U32S_3];
        std::memcpy(reduced, _saved, sizeof reduced);
        reduced[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        _dropped = ::syscall(SYS_capset, &_header, reduced) == 0;
    }
    ~PermissionChecksEnforced() {
        if (_dropped)
            ::syscall(SYS_capset, &_header, _saved);
    }
    bool enforced() const { return geteuid() != 0 || _dropped; }

private:
    __user_cap_header_struct _header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct _saved[_LINUX_CAPABILITY_U32S_3]{};
    bool _dropped = false;
};

bool setImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

// A way to make the preference file impossible to replace, and to undo it. `arrange` returns
// an empty text when it worked, else why the case cannot run here.
struct UnwritableCase {
    const char* name;
    std::function<QString(PaneFaultForeignFiles&)> arrange;
    std::function<void(PaneFaultForeignFiles&)> undo;
};

void PrintTo(const UnwritableCase& c, std::ostream* out) {
    *out << c.name;
}

class PaneFaultUnwritable : public PaneFaultForeignFiles,
                            public testing::WithParamInterface<UnwritableCase> {};

TEST_P(PaneFaultUnwritable, LeftUntouchedAndReported) {
    const UnwritableCase& c = GetParam();
    // Undone however the test ends: the temporary root must stay removable.
    std::unique_ptr<void, std::function<void(void*)>> undo(this, [&](void*) { c.undo(*this); });
    if (const QString why = c.arrange(*this); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const QByteArray before = QFile(prefsPath()).exists() ? root.readFile(kPrefsDevicePath) : "";
    const QByteArray link = linkText(prefsPath());
    {
        PermissionChecksEnforced enforced;
        if (!enforced.enforced())
            GTEST_SKIP() << "running as root and cannot drop the capabilities that override "
                            "file permissions";
        StoreOutcomeWatch watch;
        pane.setPreferenceValue(false, row(1));
        EXPECT_TRUE(watch.failedAndReported(prefsPath()));
    }
    EXPECT_EQ(root.readFile(kPrefsDevicePath), before);
    EXPECT_EQ(linkText(prefsPath()), link);
    EXPECT_TRUE(movedAside().isEmpty());
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    if (QFileInfo::exists(elsewhere()))
        EXPECT_TRUE(leftoversIn(elsewhere(), {"real.plist"}).isEmpty());

    undo.reset();
    const QVariantMap after = prefs().value_or(QVariantMap());
    storeCleanly(false, 1);
    QVariantMap expected = after;
    expected.insert("a", false);
    EXPECT_EQ(prefs(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    PaneFault, PaneFaultUnwritable,
    testing::Values(UnwritableCase{"directory_without_write_permission",
                                   [](auto& t) { return t.lockDirectory(t.prefsDir()); },
                                   [](auto& t) { t.unlockDirectory(t.prefsDir()); }},
                    UnwritableCase{"unreadable_file_in_directory_without_write_permission",
                                   [](auto& t) {
                                       t.writePrefsBytes("<plist><dict><key>a</key>");
                                       return t.lockDirectory(t.prefsDir());
                                   },
                                   [](auto& t) { t.unlockDirectory(t.prefsDir()); }},
                    UnwritableCase{"link_into_directory_without_write_permission",
                                   [](auto& t) {
                                       t.makeTarget();
                                       t.linkPrefsTo(t.target());
                                       return t.lockDirectory(t.elsewhere());
                                   },
                                   [](auto& t) { t.unlockDirectory(t.elsewhere()); }},
                    UnwritableCase{"immutable_file",
                                   [](auto& t) {
                                       return setImmutable(t.prefsPath(), true)
                                                  ? QString()
                                                  : QString(
                                                        "the immutable flag cannot be set here: ") +
                                                        strerror(errno);
                                   },
                                   [](auto& t) { setImmutable(t.prefsPath(), false); }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
