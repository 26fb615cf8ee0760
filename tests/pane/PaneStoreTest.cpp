// What a store through the pane adds to the file layer (tests/foundation runs every fault point
// through the atomic write itself): the file first, then one announcement; a failed write warns,
// announces nothing and leaves the row showing what the file holds; the next store works.
#include "PaneFixture.h"

#include "common/FaultPoints.h"
#include "common/Files.h"

#include "foundation/AtomicFileFaults.h"

#include <QFile>
#include <cstring>

namespace {

class PaneFault : public PaneTest, public testing::WithParamInterface<FaultPoint> {};

TEST_P(PaneFault, WarnsAnnouncesNothingShowsTheFileAndTheNextStoreWorks) {
    const FaultPoint& point = GetParam();
    load({groupRow("G"), controlRow("a", 1, {{"default", true}}), switchRow("b")});
    const QByteArray garbage("<plist><dict><key>a</key><true/>");
    for (const bool unreadable : {false, true}) {
        SCOPED_TRACE(unreadable ? "over an unreadable file" : "over a readable file");
        if (unreadable && point.replacesOnly)
            continue; // an unreadable file is moved aside, not replaced
        for (const QString& name : movedAside())
            ASSERT_TRUE(QFile::remove(prefsDir() + "/" + name));
        if (unreadable)
            writeFile(prefsPath(), garbage);
        else
            writePrefs({{"a", true}, {"other", "kept"}});
        if (std::string_view(point.step) == "fchown") {
            const std::optional<gid_t> group = otherGroup();
            if (!group)
                GTEST_SKIP() << "this user belongs to a single group: the group never changes";
            ASSERT_EQ(::chown(QFile::encodeName(prefsPath()).constData(), uid_t(-1), *group), 0);
        }
        // Not the mode new files get, so a replace carries it over.
        ASSERT_EQ(::chmod(QFile::encodeName(prefsPath()).constData(), 0640), 0);
        StoreWatch failing;
        std::optional<FaultInjection> fault(std::in_place, point);
        pane.setPreferenceValue(false, row(1));
        fault.reset();
        EXPECT_GE(FaultInjection::hits(), 1) << "the failing step never ran";
        EXPECT_TRUE(failing.failed(prefsPath(), QString::fromLocal8Bit(strerror(point.error))));
        // Past the swap the new file is in place; before it, the file is as it was.
        EXPECT_EQ(pane.readPreferenceValue(row(1)), !point.afterSwap);
        QVariantMap expected =
            unreadable ? QVariantMap() : QVariantMap{{"a", true}, {"other", "kept"}};
        if (point.afterSwap)
            expected.insert("a", false);
        if (unreadable) { // its bytes are kept, exactly once: at the path or moved aside
            QByteArrayList copies{readAll(prefsPath())};
            for (const QString& name : movedAside())
                copies.append(readAll(prefsDir() + "/" + name));
            EXPECT_EQ(copies.count(garbage), 1);
        }
        StoreWatch next;
        pane.setPreferenceValue(true, row(2));
        EXPECT_TRUE(next.landed());
        expected.insert("b", true);
        EXPECT_EQ(prefs(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Pane, PaneFault, testing::ValuesIn(faultPoints()), faultPointName);

// Posts made by the time the new file is swapped in.
std::optional<quint64> postsAtSwap;

// The announcement is made once the file holds the change, and only then: at the swap nothing
// has been posted yet, and an observer hears one post per change, the file holding it by then.
TEST_F(PaneTest, EachChangeIsWrittenThenAnnouncedOnce) {
    load({groupRow("G"), controlRow("a", 1), switchRow("x")});
    AtomicFileOps ops = AtomicFileFaults::systemOps();
    ops.rename = [](const char* from, const char* to, unsigned flags) {
        postsAtSwap = postsSoFar();
        return AtomicFileFaults::systemOps().rename(from, to, flags);
    };
    QObject context;
    QVariantList heard;
    NotifyCenter::darwin()->observe(Pane::kReloadNotification, &context, [&] {
        heard.append(prefs().value_or(QVariantMap()).value("a"));
    });
    const QVariantList values{false, true, qint64(0), "0"};
    for (const QVariant& value : values) {
        const quint64 before = postsSoFar();
        postsAtSwap.reset();
        AtomicFileFaults::install(ops);
        row(1)->performSetterWithValue(value);
        AtomicFileFaults::reset();
        EXPECT_EQ(postsAtSwap, before) << "announced before the file was in place";
        EXPECT_EQ(postsSoFar(), before + 1);
        ASSERT_TRUE(notificationsSettled());
    }
    EXPECT_EQ(heard, values);
}

// Stores that cannot reach the file, for reasons of the place or of the row, warn and post
// nothing, and leave what the file holds.
TEST_F(PaneTest, AStoreThatCannotBeMadeIsReportedNotAnnounced) {
    load({groupRow("G"), controlRow("a", 1), QVariantMap{{"cell", "PSSwitchCell"}}});
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QVariant value;
        int row;
    };
    const Case cases[] = {
        {"directory missing", [&] { QDir(prefsDir()).removeRecursively(); }, true, 1},
        {"null value", [] {}, QVariant(), 1},
        {"row without key", [] {}, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(prefsDir());
        QDir().mkpath(prefsDir());
        writePrefs({{"other", 1}});
        c.arrange();
        const QByteArray before = readAll(prefsPath());
        StoreWatch watch;
        pane.setPreferenceValue(c.value, row(c.row));
        EXPECT_TRUE(watch.failed(prefsPath()));
        EXPECT_EQ(readAll(prefsPath()), before);
    }
}

// A controlling switch collapses its group by the value just stored, in the table as shown.
TEST(PaneCollapse, AStoredControlValueCollapsesAndExpandsItsRows) {
    ShownPane shown({groupRow("G"), controlRow("a", 2, {{"default", true}}), switchRow("x"),
                     switchRow("y"), switchRow("after")});
    Pane& pane = *shown.pane;
    for (const bool on : {false, true}) {
        pane.setPreferenceValue(on, pane.specifiers().at(1));
        for (int row : {2, 3})
            EXPECT_TRUE(eventually([&] { return (laidOutHeight(pane, row) > 0) == on; },
                                   on ? "the rows expanded" : "the rows collapsed"))
                << "row " << row;
        EXPECT_GT(laidOutHeight(pane, 4), 0);
    }
}

} // namespace
