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
#include <thread>
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
// whatever pace it is made, mixed with the store's own writes; and once the file has settled
// (no change within a read's racy window), a later change is still seen.
TEST_F(PreferenceCacheTest, NoExternalChangeIsMissed) {
    QRandomGenerator random(7);
    std::optional<QVariantMap> expected; // what the file holds; nullopt: nothing readable
    for (int step = 0; step < 300; ++step) {
        QVariantMap next = expected.value_or(QVariantMap());
        const QString key = QStringLiteral("k%1").arg(random.bounded(3));
        next.insert(key, qint64(random.bounded(10)));
        const int how = random.bounded(7);
        SCOPED_TRACE(step * 10 + how);
        if (step % 50 == 49) { // settled: read well after the last change
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            ASSERT_EQ(store.entries(), expected.value_or(QVariantMap()));
        }
        if (how < 2)
            other.inPlace(next);
        else if (how < 4)
            other.byRename(next, how == 3);
        else if (how < 6)
            how == 4 ? other.remove() : other.garble();
        else if (!store.storeEntry(key, next.value(key)).ok)
            FAIL() << "the store failed";
        if (how == 4 || how == 5)
            next.clear();
        else if (how == 6 && !expected) // an unreadable file was moved aside
            next = QVariantMap{{key, next.value(key)}};
        expected = next;
        ASSERT_EQ(store.entries(), next);
    }
}

// A store inside a read pass starts from the file as it is now, not as the pass first saw it
// (that would write another program's change over), and the pass reads the store's write.
TEST_F(PreferenceCacheTest, AStoreInAReadPassStartsFromTheFileAsItIsNow) {
    other.inPlace({{"a", qint64(2)}});
    store.beginReadPass();
    EXPECT_EQ(store.entries().value("a"), qint64(2));
    other.inPlace({{"a", qint64(3)}});
    ASSERT_TRUE(store.storeEntry("b", qint64(4)).ok);
    EXPECT_EQ(store.entries(), (QVariantMap{{"a", qint64(3)}, {"b", qint64(4)}}));
    store.endReadPass();
}

// Another writer replaces the file at the last moment: while our temporary file is synced, at
// our swap, or at our swap and again right after it, before our next attempt. What it wrote
// each time survives next to our entry, and the store reports success.
OtherWriter* interferer = nullptr;
QList<QVariantMap> theirs; // the files it puts in place, one per interference
int when = 0;
bool swapped = false;
void interfereIf(bool now) {
    if (now && !theirs.isEmpty())
        interferer->byRename(theirs.takeFirst(), false);
}

TEST_F(PreferenceCacheTest, ConcurrentWritersAreMergedNotOverwritten) {
    const QVariantMap first{{"mine", qint64(0)}, {"theirs", true}}, second{{"again", true}};
    for (when = 0; when < 3; ++when) {
        SCOPED_TRACE(when);
        other.inPlace({{"mine", qint64(0)}});
        store.entries();
        interferer = &other;
        swapped = false;
        theirs = when == 2 ? QList{first, second} : QList{first};
        AtomicFileOps ops = AtomicFileFaults::systemOps();
        ops.fsync = [](int fd) { return interfereIf(when == 0), ::fsync(fd); };
        ops.rename = [](const char* from, const char* to, unsigned flags) {
            interfereIf(when > 0);
            swapped = true;
            return AtomicFileFaults::systemOps().rename(from, to, flags);
        };
        ops.close = [](int fd) { return interfereIf(when == 2 && swapped), ::close(fd); };
        AtomicFileFaults::install(ops);
        const FileWriteResult result = store.storeEntry("mine", qint64(1));
        AtomicFileFaults::reset();
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        QVariantMap expected = first;
        expected.insert("mine", qint64(1));
        if (when == 2)
            expected.insert(second);
        EXPECT_EQ(PropertyList::readDictionary(root.hostPath(kDevicePath)), expected);
        EXPECT_EQ(store.entries(), expected);
    }
}

} // namespace
