#include "PaneChromeHost.h"

#include "pane/AspectFitImageView.h"

#include <QAbstractAnimation>
#include <QLabel>
#include <cmath>

// A long scroll leaves nothing behind: the scroll callback reuses its two fades and the
// banner, whatever the number of calls.
namespace {

struct Population {
    qsizetype paneObjects = 0;
    qsizetype headerObjects = 0;
    qsizetype titleViewObjects = 0;
    qsizetype tableObjects = 0;
    qsizetype animations = 0;
    QGraphicsEffect* iconEffect = nullptr;
    QGraphicsEffect* labelEffect = nullptr;

    bool operator==(const Population&) const = default;
};

Population census(ChromeHost& host) {
    TOLVPLAYERPreferencesListController* pane = host.pane;
    Population p;
    p.paneObjects = pane->findChildren<QObject*>().size();
    p.headerObjects = pane->headerView()->findChildren<QObject*>().size();
    p.titleViewObjects = pane->navigationItem()->titleView()->findChildren<QObject*>().size();
    p.tableObjects = host.table()->findChildren<QObject*>().size();
    p.animations = pane->findChildren<QAbstractAnimation*>().size() +
                   host.table()->findChildren<QAbstractAnimation*>().size() +
                   pane->headerView()->findChildren<QAbstractAnimation*>().size();
    p.iconEffect = pane->iconView()->graphicsEffect();
    p.labelEffect = pane->titleLabel()->graphicsEffect();
    return p;
}

// Offsets that sweep the list, cross the fade line both ways and pull beyond the top.
double offsetAt(int i, double end) {
    switch (i % 5) {
    case 0:
        return std::fmod(i * 7.3, end);
    case 1:
        return 40 + (i % 3 - 1) * 0.5; // 39.5, 40, 40.5
    case 2:
        return -(i % 150);
    case 3:
        return end - (i % 90);
    default:
        return std::fmod(i * 0.61, 120);
    }
}

} // namespace

TEST(PaneChromeScroll, FiveThousandScrollsLeaveNoObjectBehind) {
    ChromeHost host(true, 400);
    TOLVPLAYERPreferencesListController* pane = host.pane;
    UITableView* table = host.table();
    const double end = table->maximumContentOffsetY();
    ASSERT_GT(end, 10000);
    // One sweep first, so every row's cell has been made; cells are made once, as rows appear.
    for (double y = 0; y <= end; y += 200)
        table->setContentOffset(QPointF(0, y));
    table->setContentOffset(QPointF(0, end));
    const Population before = census(host);
    ASSERT_EQ(pane->findChildren<QAbstractAnimation*>().size(), 2); // the two fades
    ASSERT_NE(before.iconEffect, nullptr);

    for (int i = 0; i < 5000; ++i) {
        const double y = offsetAt(i, end);
        table->setContentOffset(QPointF(0, y));
        pane->scrollViewDidScroll(table); // also when the offset did not move
        ASSERT_EQ(pane->headerImageView()->height(), qRound(200 - std::min(y, 0.0))) << i;
        if (i % 500 == 0) {
            QCoreApplication::processEvents();
            ASSERT_EQ(census(host), before) << "after " << i << " scrolls";
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(census(host), before);

    struct Case {
        double offset;
        bool icon;
        int banner;
    };
    const Case ends[] = {{end, true, 200}, {-75, false, 275}, {41, true, 200}, {40, false, 200}};
    for (const Case& c : ends) {
        table->setContentOffset(QPointF(0, c.offset));
        pane->scrollViewDidScroll(table);
        finishFades(pane);
        EXPECT_EQ(alphaOf(pane->iconView()), c.icon ? 1.0 : 0.0) << c.offset;
        EXPECT_EQ(alphaOf(pane->titleLabel()), c.icon ? 0.0 : 1.0) << c.offset;
        EXPECT_EQ(pane->headerImageView()->height(), c.banner) << c.offset;
        EXPECT_EQ(pane->headerImageView()->width(), pane->headerView()->width()) << c.offset;
        for (QPropertyAnimation* fade : pane->findChildren<QPropertyAnimation*>())
            EXPECT_EQ(fade->state(), QAbstractAnimation::Stopped) << c.offset;
    }
}
