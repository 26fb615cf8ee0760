#include "common/TempDeviceRoot.h"

#include "foundation/AtomicFileFaults.h"
#include "foundation/PropertyList.h"
#include "pane/PreferenceStore.h"

#include <QFile>
#include <QRandomGenerator>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDevicePath = QStringLiteral("/var/jb/var/mobile/Library/Preferences/cache.plist");

// Another program's ways of changing the file. Values are one digit, so many writes keep the
// file's size, and they come faster than any timestamp tick.
class OtherWriter {
public:
    explicit OtherWriter(QString path) : _path(std::move(path)) {}

    void inPlace(const QVariantMap& entries) { writeAt(_path, bytesOf(entries)); }
    void byRename(const QVariantMap& entries, bool oldTimes) {
        const QString temp = _path + QStringLiteral(".other");
        writeAt(temp, bytesOf(entries));
        if (oldTimes) { // as a copy tool keeping a file's times would leave it
            const timespec times[2] = {{946684800, 0}, {946684800, 0}};
            ::utimensat(AT_FDCWD, QFile::encodeName(temp).constData(), times, 0);
        }
        ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(_path).constData());
    }
    void remove() { QFile::remove(_path); }
    void garble() { writeAt(_path, QByteArray("<plist><dict><key>k")); }

private:
    static QByteArray bytesOf(const QVariantMap& entries) { return PropertyList::toXml(entries); }
    static void writeAt(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite)); // in place: same inode, no truncation
        ASSERT_EQ(file.write(bytes), bytes.size());
        ASSERT_TRUE(file.resize(bytes.size()));
    }
    QString _path;
};

class PreferenceCacheTest : public testing::Test {
protected:
    TempDeviceRoot root;
    PreferenceStore store{kDevicePath};
    OtherWriter other{root.hostPath(kDevicePath)};
};

// Every change another program makes is seen by the very next read, in whatever way and at
// whatever pace it is made, mixed with the store's own writes.
TEST_F(PreferenceCacheTest, NoExternalChangeIsMissed) {
    QRandomGenerator random(7);
    std::optional<QVariantMap> expected; // what the file holds; nullopt: nothing readable
    for (int step = 0; step < 400; ++step) {
        QVariantMap next = expected.value_or(QVariantMap());
        const QString key = QStringLiteral("k%1").arg(random.bounded(3));
        next.insert(key, qint64(random.bounded(10)));
        const int how = random.bounded(7);
        SCOPED_TRACE(step * 10 + how);
        switch (how) {
        case 0:
        case 1:
            other.inPlace(next);
            break;
        case 2:
            other.byRename(next, false);
            break;
        case 3:
            other.byRename(next, true);
            break;
        case 4:
            other.remove();
            next.clear();
            break;
        case 5:
            other.garble();
            next.clear();
            break;
        default: {
            ASSERT_TRUE(store.storeEntry(key, next.value(key)).ok);
            if (!expected) // an unreadable file was moved aside: only the new entry is left
                next = QVariantMap{{key, next.value(key)}};
            break;
        }
        }
        expected = next;
        ASSERT_EQ(store.entries(), next);
    }
}

// An unchanged file is parsed once, however often it is read; the store's own write is not
// parsed again; a change costs one parse.
TEST_F(PreferenceCacheTest, ParsesOnlyWhatChanged) {
    other.inPlace({{"a", qint64(1)}});
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(store.entries().value("a"), qint64(1));
    EXPECT_EQ(store.parseCount(), 1);

    ASSERT_TRUE(store.storeEntry("b", qint64(2)).ok); // reads through the same parse
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(store.entries().value("b"), qint64(2));
    EXPECT_EQ(store.parseCount(), 1);

    other.inPlace({{"a", qint64(3)}, {"b", qint64(2)}});
    EXPECT_EQ(store.entries().value("a"), qint64(3));
    EXPECT_EQ(store.parseCount(), 2);
}

// Within a read pass the file is looked at once; the pass's reads agree with each other and
// the first read after it sees what changed meanwhile.
TEST_F(PreferenceCacheTest, AReadPassLooksOnce) {
    other.inPlace({{"a", qint64(1)}});
    store.beginReadPass();
    EXPECT_EQ(store.entries().value("a"), qint64(1));
    other.inPlace({{"a", qint64(2)}});
    EXPECT_EQ(store.entries().value("a"), qint64(1));
    store.endReadPass();
    EXPECT_EQ(store.entries().value("a"), qint64(2));

    // A store inside a pass starts from the file as it is now, not as the pass first saw it
    // (that would write the old "a" back), and the pass reads the store's write from then on.
    store.beginReadPass();
    EXPECT_EQ(store.entries().value("a"), qint64(2));
    other.inPlace({{"a", qint64(3)}});
    ASSERT_TRUE(store.storeEntry("b", qint64(4)).ok);
    const QVariantMap inPass = store.entries();
    EXPECT_EQ(inPass.value("a"), qint64(3));
    EXPECT_EQ(inPass.value("b"), qint64(4));
    store.endReadPass();
}

// A writer that replaces the file at the last moment, before or during our swap: its entry
// survives next to ours, and the store reports success.
std::function<void()> interference;

TEST_F(PreferenceCacheTest, AConcurrentWriterIsMergedNotOverwritten) {
    struct Case {
        const char* name;
        bool atSwap; // else while our temporary file is synced
    };
    for (const Case c : {Case{"during sync", false}, Case{"at the swap", true}}) {
        SCOPED_TRACE(c.name);
        other.inPlace({{"mine", qint64(0)}});
        store.entries();
        OtherWriter* writer = &other;
        interference = [writer] {
            writer->byRename({{"mine", qint64(0)}, {"theirs", true}}, false);
        };
        AtomicFileOps ops = AtomicFileFaults::systemOps();
        if (c.atSwap) {
            ops.rename = [](const char* from, const char* to, unsigned flags) {
                if (interference)
                    std::exchange(interference, nullptr)();
                return AtomicFileFaults::systemOps().rename(from, to, flags);
            };
        } else {
            ops.fsync = [](int fd) {
                if (interference)
                    std::exchange(interference, nullptr)();
                return ::fsync(fd);
            };
        }
        AtomicFileFaults::install(ops);
        const FileWriteResult result = store.storeEntry("mine", qint64(1));
        AtomicFileFaults::reset();
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        const QVariantMap expected{{"mine", qint64(1)}, {"theirs", true}};
        EXPECT_EQ(PropertyList::readDictionary(root.hostPath(kDevicePath)), expected);
        EXPECT_EQ(store.entries(), expected);
    }
}

// A writer that gets in before every one of our swaps exhausts the attempts; what its files
// held is still in the file at the end, next to our entry.
int interferences = 0;
QString interferencePath;

TEST_F(PreferenceCacheTest, ExhaustedAttemptsLoseNothingTheOtherWriterWrote) {
    other.inPlace({{"mine", qint64(0)}});
    interferences = 0;
    interferencePath = root.hostPath(kDevicePath);
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    ops.rename = [](const char* from, const char* to, unsigned flags) {
        if (flags != 0) { // our checked swaps; the last, plain replace goes through
            QVariantMap theirs =
                PropertyList::readDictionary(interferencePath).value_or(QVariantMap());
            theirs.insert(QStringLiteral("theirs-%1").arg(interferences++), true);
            OtherWriter(interferencePath).byRename(theirs, false);
        }
        return AtomicFileFaults::systemOps().rename(from, to, flags);
    };
    AtomicFileFaults::install(ops);
    const FileWriteResult result = store.storeEntry("mine", qint64(1));
    AtomicFileFaults::reset();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(interferences, PreferenceStore::kMaxAttempts);
    const QVariantMap file = PropertyList::readDictionary(interferencePath).value_or(QVariantMap());
    EXPECT_EQ(file.value("mine"), qint64(1));
    for (int i = 0; i < interferences; ++i)
        EXPECT_TRUE(file.contains(QStringLiteral("theirs-%1").arg(i))) << i;
}

} // namespace
