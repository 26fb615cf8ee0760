#include "foundation/AtomicFile.h"
#include "foundation/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Versions of one preference dictionary, of different sizes so a torn write would show.
QList<QByteArray> versions() {
    QList<QByteArray> all;
    for (int i = 0; i < 8; ++i) {
        QVariantMap dict{{"version", qint64(i)},
                         {"payload", QString(QChar(u'a' + i)).repeated(100 + i * 3000)}};
        all.append(PropertyList::toXml(dict));
    }
    return all;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A writer killed with SIGKILL at random moments: after every kill the file holds exactly one
// whole version, and at most the killed writer's own temporary file is left.
TEST(AtomicFileCrash, KilledWriterLeavesOneWholeVersion) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    const QList<QByteArray> all = versions();
    ASSERT_TRUE(AtomicFile::replace(path, all.first()).ok);
    QRandomGenerator random(20240229);
    constexpr int rounds = 200;
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; i = (i + 1) % int(all.size()))
                AtomicFile::replace(path, all[i]);
        }
        ::usleep(useconds_t(random.bounded(10000)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const QByteArray content = readAll(path);
        ASSERT_TRUE(all.contains(content))
            << "round " << round << ": " << content.size() << " bytes match no version";
        const QStringList others =
            QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        ASSERT_LE(others.size(), 2) << others.join(' ').toStdString();
    }
    // The next write clears whatever the last killed writer left.
    ASSERT_TRUE(AtomicFile::replace(path, all.first()).ok);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

} // namespace
