#pragma once

#include <QDeadlineTimer>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>

// Waits, running the event loop, until `condition` holds; fails through GoogleTest with `what`
// when it does not within `ms`.
inline testing::AssertionResult eventually(const std::function<bool()>& condition,
                                           const std::string& what, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return testing::AssertionFailure() << what << ": not within " << ms << " ms";
        QTest::qWait(5);
    }
    return testing::AssertionSuccess();
}
