#include "notify/NotifyCenter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool haveBus() {
    return QDBusConnection::sessionBus().isConnected();
}

// Signals from one sender arrive in order, so once a sentinel posted last has arrived, every
// earlier post has been delivered too: counts can then be compared exactly.
void drainWithSentinel(QObject* context) {
    bool arrived = false;
    const QString sentinel = QStringLiteral("test.notify/sentinel");
    const int token = NotifyCenter::darwin()->observe(sentinel, context, [&] { arrived = true; });
    ASSERT_NE(token, 0);
    NotifyCenter::darwin()->post(sentinel);
    QTRY_VERIFY_WITH_TIMEOUT(arrived, 5000);
    NotifyCenter::darwin()->removeObserver(token);
}

TEST(NotifyCenter, OnePostGivesExactlyOneDeliveryToObserversOfThatNameOnly) {
    if (!haveBus())
        GTEST_SKIP() << "no session bus";
    QObject context;
    int reload = 0, other = 0;
    NotifyCenter::darwin()->observe("com.qev.tolvplayerprefs/ReloadPrefs", &context,
                                    [&] { ++reload; });
    NotifyCenter::darwin()->observe("com.qev.other/Name", &context, [&] { ++other; });

    const quint64 postedBefore = NotifyCenter::darwin()->postedCount();
    NotifyCenter::darwin()->post("com.qev.tolvplayerprefs/ReloadPrefs");
    drainWithSentinel(&context);

    EXPECT_EQ(reload, 1);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(NotifyCenter::darwin()->postedCount(), postedBefore + 2); // the post and the sentinel
}

TEST(NotifyCenter, RemovedObserversAndDestroyedContextsHearNothing) {
    if (!haveBus())
        GTEST_SKIP() << "no session bus";
    QObject keeper;
    int removed = 0, destroyed = 0;
    const int token = NotifyCenter::darwin()->observe("test.notify/a", &keeper, [&] { ++removed; });
    auto* context = new QObject;
    NotifyCenter::darwin()->observe("test.notify/a", context, [&] { ++destroyed; });
    NotifyCenter::darwin()->removeObserver(token);
    delete context;

    NotifyCenter::darwin()->post("test.notify/a");
    drainWithSentinel(&keeper);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(destroyed, 0);
}

TEST(NotifyCenter, SeveralObserversOfOneNameEachHearEveryPost) {
    if (!haveBus())
        GTEST_SKIP() << "no session bus";
    QObject context;
    int first = 0, second = 0;
    NotifyCenter::darwin()->observe("test.notify/b", &context, [&] { ++first; });
    NotifyCenter::darwin()->observe("test.notify/b", &context, [&] { ++second; });
    for (int i = 0; i < 3; ++i)
        NotifyCenter::darwin()->post("test.notify/b");
    drainWithSentinel(&context);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 3);
}

// Without a bus a post is lost and counted, and nothing fails. Run in a child process whose
// session bus address leads nowhere, since a process keeps its first bus connection.
TEST(NotifyCenter, WithoutABusAPostIsLostSilentlyAndCounted) {
    if (qEnvironmentVariableIsSet("QEV_NOTIFY_NO_BUS_CHILD")) {
        EXPECT_FALSE(haveBus());
        NotifyCenter::darwin()->post("test.notify/lost");
        EXPECT_EQ(NotifyCenter::darwin()->lostCount(), 1u);
        EXPECT_EQ(NotifyCenter::darwin()->postedCount(), 0u);
        QObject context;
        EXPECT_EQ(NotifyCenter::darwin()->observe("test.notify/lost", &context, [] {}), 0);
        return;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QEV_NOTIFY_NO_BUS_CHILD", "1");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/qev-test-bus");
    env.remove("DISPLAY");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=NotifyCenter.WithoutABusAPostIsLostSilentlyAndCounted"});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

} // namespace
