#include "common/NotifyDrain.h"

#include <QDBusConnection>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// Names of this suite's own: no other suite posts or observes them.
const QString kFirst = QStringLiteral("qev.test.notify/first");
const QString kSecond = QStringLiteral("qev.test.notify/second");

// Every post reaches each live observer of its name exactly once, and nobody else: not the
// observers of another name, not a removed observer, not one whose context is gone.
TEST(NotifyCenter, EachPostReachesEachLiveObserverOfItsNameOnce) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
        << "the suite runs on a bus of its own";
    NotifyCenter* center = NotifyCenter::darwin();
    QObject context;
    int first = 0, firstAgain = 0, second = 0, removed = 0, destroyed = 0;
    center->observe(kFirst, &context, [&] { ++first; });
    center->observe(kFirst, &context, [&] { ++firstAgain; });
    center->observe(kSecond, &context, [&] { ++second; });
    center->removeObserver(center->observe(kFirst, &context, [&] { ++removed; }));
    auto* gone = new QObject;
    center->observe(kFirst, gone, [&] { ++destroyed; });
    delete gone;

    for (int i = 0; i < 3; ++i)
        center->post(kFirst);
    ASSERT_TRUE(notificationsSettled());
    EXPECT_EQ(first, 3);
    EXPECT_EQ(firstAgain, 3);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(destroyed, 0);
}

// Without a bus a post is lost, silently, and counted. Run in a child whose bus address leads
// nowhere, since a process keeps its first bus connection.
TEST(NotifyCenter, WithoutABusAPostIsLostSilentlyAndCounted) {
    if (qEnvironmentVariableIsSet("QEV_NOTIFY_NO_BUS_CHILD")) {
        ASSERT_FALSE(QDBusConnection::sessionBus().isConnected());
        NotifyCenter::darwin()->post(kFirst);
        EXPECT_EQ(NotifyCenter::darwin()->lostCount(), 1u);
        QObject context;
        EXPECT_EQ(NotifyCenter::darwin()->observe(kFirst, &context, [] {}), 0);
        return;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QEV_NOTIFY_NO_BUS_CHILD", "1");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/qev-test-bus");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=NotifyCenter.WithoutABusAPostIsLostSilentlyAndCounted"});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

} // namespace
