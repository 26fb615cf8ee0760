#pragma once

#include "common/Eventually.h"

#include "notify/NotifyCenter.h"

#include <QCoreApplication>
#include <QObject>

// Signals from one sender arrive in order: once a sentinel posted last has come back, every
// earlier post of this process has been delivered, so delivery counts can be compared exactly.
inline testing::AssertionResult notificationsSettled() {
    QObject context;
    bool arrived = false;
    // Named for this process, so another process's sentinel on a shared bus ends nothing here.
    const QString sentinel =
        QStringLiteral("qev.test/sentinel-%1").arg(QCoreApplication::applicationPid());
    if (!NotifyCenter::darwin()->observe(sentinel, &context, [&] { arrived = true; }))
        return testing::AssertionFailure() << "no session bus: notifications cannot be counted";
    NotifyCenter::darwin()->post(sentinel);
    return eventually([&] { return arrived; }, "the sentinel notification", 5000);
}
