#include "PaneFixture.h"

namespace {

// Each stored change is announced once on the bus, after the file holds the new value (a
// failed store never is: see PreferenceWriteTest).
TEST_F(PaneTest, EachChangeIsAnnouncedOnceAfterTheFileIsWritten) {
    if (!haveSessionBus())
        GTEST_SKIP() << "no session bus";
    load({groupRow("G"), controlRow("a", 1), switchRow("x")});
    QObject context;
    QList<QVariant> seenOnDelivery;
    NotifyCenter::darwin()->observe(kReloadName, &context, [&] {
        seenOnDelivery.append(prefs().value_or(QVariantMap()).value("a"));
    });

    const QVariant values[] = {false, true, qint64(0), "0"};
    for (const QVariant& value : values) {
        const quint64 postedBefore = NotifyCenter::darwin()->postedCount();
        row(1)->performSetterWithValue(value);
        EXPECT_EQ(NotifyCenter::darwin()->postedCount(), postedBefore + 1);
        drainNotifications(&context);
    }
    // One delivery per change, each already seeing its own value in the file.
    EXPECT_EQ(seenOnDelivery, QList<QVariant>(std::begin(values), std::end(values)));
}

} // namespace
