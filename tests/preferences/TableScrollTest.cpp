#include "TestListController.h"

#include "preferences/PSSwitchTableCell.h"
#include "preferences/UISwitch.h"

#include <QImage>
#include <gtest/gtest.h>

// Scrolling places only the rows in view and those that were; these tests check that what the
// viewport shows is still right after jumps, collapses and cells made out of row order.
namespace {

// `sections` groups of `rows` switch rows each, keys "k<section>_<row>".
QVariantList switchSections(int sections, int rows) {
    QVariantList items;
    for (int s = 0; s < sections; ++s) {
        items << row("PSGroupCell", QString("Group %1").arg(s));
        for (int r = 0; r < rows; ++r)
            items << row("PSSwitchCell", QString("Row %1.%2").arg(s).arg(r),
                         QString("k%1_%2").arg(s).arg(r));
    }
    return items;
}

QRect onScreen(UITableView* table, NSIndexPath path) {
    return table->rectForRowAtIndexPath(path).translated(0, -qRound(table->contentOffset().y()));
}

// Every row the viewport shows has its cell, visible, exactly on the row; every other made cell
// is hidden or lies wholly outside the viewport.
void expectViewMatchesRows(UITableView* table, const char* when) {
    const QRect view = table->viewport()->rect();
    for (int s = 0; s < table->numberOfSections(); ++s) {
        for (int r = 0; r < table->numberOfRowsInSection(s); ++r) {
            const QRect rect = onScreen(table, {s, r});
            PSTableCell* cell = table->cellForRowAtIndexPath({s, r});
            const bool inView = rect.height() > 0 && rect.intersects(view);
            if (inView) {
                ASSERT_TRUE(cell) << when << " row " << s << "." << r;
                EXPECT_FALSE(cell->isHidden()) << when << " row " << s << "." << r;
                // Placed from the unrounded row and offset: within a pixel of the rectangle.
                const QRect at = cell->geometry();
                EXPECT_EQ(at.left(), rect.left()) << when;
                EXPECT_EQ(at.width(), rect.width()) << when;
                EXPECT_NEAR(at.top(), rect.top(), 1) << when << " row " << s << "." << r;
                EXPECT_NEAR(at.bottom(), rect.bottom(), 1) << when << " row " << s << "." << r;
            } else if (cell && !cell->isHidden()) {
                // Rounding may leave a pixel of a row that ends at an edge.
                EXPECT_FALSE(cell->geometry().intersects(view.adjusted(0, 1, 0, -1)))
                    << when << " row " << s << "." << r << " at " << cell->y() << "+"
                    << cell->height() << " in " << view.height();
            }
        }
    }
}

UISwitch* switchAt(UITableView* table, NSIndexPath path) {
    auto* cell = qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath(path));
    return cell ? cell->control() : nullptr;
}

void collapse(TestListController& controller, UITableView* table, const QStringList& keys,
              bool collapsed) {
    for (const QString& key : keys) {
        if (collapsed)
            controller.heightOverrides.insert(key, 0);
        else
            controller.heightOverrides.remove(key);
    }
    table->beginUpdates();
    table->endUpdates();
    table->finishAnimations();
}

} // namespace

TEST(UITableViewScroll, JumpsShowExactlyTheRowsInView) {
    TestListController controller(switchSections(10, 20));
    UITableView* table = controller.showTable(390, 300);
    ASSERT_TRUE(table);
    const double end = table->maximumContentOffsetY();
    ASSERT_GT(end, 5000);
    const double offsets[] = {end,     0,       end / 2, end / 2 + 30, end / 2 - 400, -80,
                              end + 1, end / 3, 12.5,    end - 0.4,    end / 2};
    for (double offset : offsets) {
        table->setContentOffset(QPointF(0, offset));
        expectViewMatchesRows(table, qPrintable(QString("offset %1").arg(offset)));
    }
    // Cells are made once, only for rows that came into view: far fewer than the rows.
    EXPECT_EQ(controller.cellsAsked.size(), table->madeCells().size());
    EXPECT_LT(table->madeCells().size(), 100);
}

TEST(UITableViewScroll, SmallStepsThroughTheWholeListKeepEveryRowRight) {
    TestListController controller(switchSections(3, 15));
    UITableView* table = controller.showTable(390, 250);
    ASSERT_TRUE(table);
    for (double y = 0; y <= table->maximumContentOffsetY(); y += 37)
        table->setContentOffset(QPointF(0, y));
    expectViewMatchesRows(table, "down");
    EXPECT_EQ(table->madeCells().size(), 45);
    for (double y = table->maximumContentOffsetY(); y >= 0; y -= 53)
        table->setContentOffset(QPointF(0, y));
    expectViewMatchesRows(table, "up");
    EXPECT_EQ(controller.cellsAsked.size(), 45);
}

TEST(UITableViewScroll, TabFollowsRowOrderWhateverOrderCellsWereMadeIn) {
    struct Case {
        const char* name;
        QList<double> jumps; // fractions of the whole scroll range
        bool fullPass;       // then every row once; else the first Tab makes the rows it needs
    };
    const Case cases[] = {
        {"bottom first", {1.0, 0.0}, true},
        {"middle, bottom, top", {0.5, 1.0, 0.0}, true},
        {"scattered", {0.8, 0.2, 0.6, 0.4, 1.0, 0.0}, true},
        {"top only, then Tab", {}, false},
        {"bottom, then top, then Tab", {1.0, 0.0}, false},
    };
    for (const Case& c : cases) {
        TestListController controller(switchSections(2, 12));
        UITableView* table = controller.showTable(390, 260);
        ASSERT_TRUE(table) << c.name;
        const double end = table->maximumContentOffsetY();
        for (double jump : c.jumps)
            table->setContentOffset(QPointF(0, jump * end));
        for (double y = 0; c.fullPass && y <= end; y += 100)
            table->setContentOffset(QPointF(0, y));
        table->setContentOffset(QPointF(0, 0));
        ASSERT_EQ(table->madeCells().size() == 24, c.fullPass) << c.name;

        switchAt(table, {0, 0})->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(table->madeCells().size(), 24) << c.name;
        QList<UISwitch*> order;
        for (int s = 0; s < 2; ++s)
            for (int r = 0; r < 12; ++r)
                order << switchAt(table, {s, r});
        ASSERT_EQ(QApplication::focusWidget(), order.at(1)) << c.name;
        for (int i = 2; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), order.at(i)) << c.name << " tab to " << i;
        }
        // Keyboard focus brought the last row into view.
        EXPECT_TRUE(onScreen(table, {1, 11}).intersects(table->viewport()->rect())) << c.name;
        for (int i = order.size() - 2; i >= 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            ASSERT_EQ(QApplication::focusWidget(), order.at(i)) << c.name << " back to " << i;
        }
    }
}

TEST(UITableViewScroll, CollapsedRowsStayHiddenWhereverTheListIsScrolled) {
    TestListController controller(switchSections(4, 20));
    UITableView* table = controller.showTable(390, 300);
    ASSERT_TRUE(table);
    const double end = table->maximumContentOffsetY();
    // Cells for the top and the bottom rows, then collapse rows in view, out of view with a
    // cell, and without a cell; the first row of a section among them.
    table->setContentOffset(QPointF(0, end));
    table->setContentOffset(QPointF(0, 0));
    const QStringList keys{"k0_1", "k0_2", "k3_19", "k3_0", "k2_5"};
    collapse(controller, table, keys, true);
    const NSIndexPath collapsed[] = {{0, 1}, {0, 2}, {3, 19}, {3, 0}, {2, 5}};
    const double offsets[] = {0, table->maximumContentOffsetY(), end / 2, 0.66 * end, 3};
    for (double offset : offsets) {
        table->setContentOffset(QPointF(0, offset));
        const QString when = QString("offset %1").arg(offset);
        expectViewMatchesRows(table, qPrintable(when));
        for (NSIndexPath path : collapsed) {
            EXPECT_EQ(table->rectForRowAtIndexPath(path).height(), 0) << qPrintable(when);
            if (PSTableCell* cell = table->cellForRowAtIndexPath(path)) {
                EXPECT_TRUE(cell->isHidden()) << qPrintable(when) << " " << path.row;
            }
        }
    }
    // The collapsed rows come back, in place, wherever the list now is.
    collapse(controller, table, keys, false);
    expectViewMatchesRows(table, "expanded");
    for (double offset : offsets) {
        table->setContentOffset(QPointF(0, offset));
        expectViewMatchesRows(table, "expanded, scrolled");
    }
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 1})->isHidden());
}

TEST(UITableViewScroll, RowAtPointAcrossSectionsGapsAndCollapsedRows) {
    TestListController controller(switchSections(30, 10));
    UITableView* table = controller.showTable(390, 300);
    ASSERT_TRUE(table);
    collapse(controller, table, {"k20_0", "k20_1"}, true);
    const QRect row5 = table->rectForRowAtIndexPath({17, 5});
    const QRect last = table->rectForRowAtIndexPath({29, 9});
    const QRect section20 = table->rectForSection(20);
    struct Case {
        QPointF point;
        std::optional<NSIndexPath> expected;
    };
    // Row rectangles are rounded: points a pixel inside their edges.
    const Case cases[] = {
        {QPointF(100, row5.top() + 1), NSIndexPath{17, 5}},
        {QPointF(100, row5.bottom() - 1), NSIndexPath{17, 5}},
        {QPointF(100, row5.bottom() + 2), NSIndexPath{17, 6}},
        {QPointF(100, row5.top() - 2), NSIndexPath{17, 4}},
        {QPointF(100, section20.top() + 1), NSIndexPath{20, 2}}, // under the collapsed rows
        {QPointF(100, section20.top() - 5), std::nullopt},       // the header's gap
        {QPointF(100, last.bottom() - 1), NSIndexPath{29, 9}},
        {QPointF(100, last.bottom() + 2), std::nullopt},
        {QPointF(100, -10), std::nullopt},
        {QPointF(5, row5.center().y()), std::nullopt}, // in the inset
        {QPointF(table->viewport()->width() - 5, row5.center().y()), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table->indexPathForRowAtPoint(c.point), c.expected)
            << c.point.x() << "," << c.point.y();
    }
}

TEST(UITableViewScroll, HairlinesBetweenShownRowsAfterAFarScroll) {
    TestListController controller(switchSections(40, 5));
    UITableView* table = controller.showTable(390, 400);
    ASSERT_TRUE(table);
    // The first row of section 30 collapses: its second row becomes the section's first.
    collapse(controller, table, {"k30_0"}, true);
    const QRect section = table->rectForSection(30);
    table->setContentOffset(QPointF(0, section.top() - 100));
    const QImage image = table->grab().toImage();
    const int dy = -qRound(table->contentOffset().y());
    const int x = section.left() + 40;
    struct Case {
        NSIndexPath row;
        bool line; // a hairline just above the row
    };
    const Case cases[] = {{{30, 1}, false}, {{30, 2}, true}, {{30, 3}, true}, {{30, 4}, true}};
    for (const Case& c : cases) {
        const int y = table->rectForRowAtIndexPath(c.row).top() - 1 + dy;
        ASSERT_GE(y, 0);
        ASSERT_LT(y, image.height());
        // A line darkens white (255) or the background (242) to about 190.
        if (c.line)
            EXPECT_LT(image.pixelColor(x, y).red(), 230) << c.row.row;
        else
            EXPECT_GE(image.pixelColor(x, y).red(), 240) << c.row.row;
    }
}
