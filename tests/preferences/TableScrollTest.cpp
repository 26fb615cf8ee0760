#include "ListHost.h"

#include "preferences/PSSwitchTableCell.h"
#include "preferences/UISwitch.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

// Scrolling places only the rows in view and those that just left it; these tests check that
// what the viewport shows is still right after jumps, steps, collapses and cells made out of
// row order.
namespace {

QRect onScreen(UITableView* table, NSIndexPath path) {
    return table->rectForRowAtIndexPath(path).translated(0, -qRound(table->contentOffset().y()));
}

// Every row the viewport shows has its cell, visible, on the row; every other cell is hidden
// or lies wholly outside the viewport.
testing::AssertionResult viewMatchesRows(UITableView* table) {
    const QRect view = table->viewport()->rect();
    for (int s = 0; s < table->numberOfSections(); ++s) {
        for (int r = 0; r < table->numberOfRowsInSection(s); ++r) {
            const QRect rect = onScreen(table, {s, r});
            PSTableCell* cell = table->cellForRowAtIndexPath({s, r});
            const auto where = [&] {
                return testing::AssertionFailure()
                       << "row " << s << "." << r << " at offset " << table->contentOffset().y();
            };
            if (rect.height() > 0 && rect.intersects(view)) {
                // Placed from the unrounded row and offset: within a pixel of the rectangle.
                if (!cell || cell->isHidden() || cell->x() != rect.x() ||
                    cell->width() != rect.width() || std::abs(cell->y() - rect.y()) > 1 ||
                    std::abs(cell->geometry().bottom() - rect.bottom()) > 1)
                    return where() << ": not shown on its row";
            } else if (cell && !cell->isHidden() &&
                       cell->geometry().intersects(view.adjusted(0, 1, 0, -1))) {
                return where() << ": shown out of place"; // a pixel of rounding at an edge
            }
        }
    }
    return testing::AssertionSuccess();
}

UISwitch* switchAt(UITableView* table, NSIndexPath path) {
    auto* cell = qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath(path));
    return cell ? cell->control() : nullptr;
}

// Jumps and steps, as fractions of the whole scroll range (beyond both ends too): after each,
// the viewport shows exactly its rows, and no cell is ever made twice.
TEST(UITableViewScroll, EveryOffsetShowsExactlyTheRowsInView) {
    const struct {
        const char* what;
        int sections, rows;
        QList<double> offsets;
    } cases[] = {
        {"jumps", 10, 20, {1, 0, 0.5, 0.505, 0.46, -0.02, 1.001, 0.33, 0.002, 0.9999, 0.5}},
        {"steps down and up", 3, 15, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ListHost controller(switchSections(c.sections, c.rows));
        UITableView* table = controller.show(390, 300);
        ASSERT_TRUE(table);
        const double end = table->maximumContentOffsetY();
        QList<double> offsets = c.offsets;
        if (offsets.isEmpty()) {
            for (double y = 0; y <= end; y += 37)
                offsets << y / end;
            for (double y = end; y >= 0; y -= 53)
                offsets << y / end;
        }
        for (double offset : offsets) {
            table->setContentOffset(QPointF(0, offset * end));
            ASSERT_TRUE(viewMatchesRows(table));
        }
        EXPECT_EQ(controller.cellsMade, table->madeCells().size());
        EXPECT_LT(table->madeCells().size(), 100);
    }
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
        ListHost controller(switchSections(2, 12));
        UITableView* table = controller.show(390, 260);
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

// Rows collapsed to no height (in view and out of it, with a cell and without, the first of a
// section among them) show nothing wherever the list is scrolled, take no click and no focus,
// and come back in place, in the same cells.
TEST(UITableViewScroll, CollapsedRowsShowNothingAndComeBack) {
    ListHost controller(switchSections(4, 20));
    UITableView* table = controller.show(390, 300);
    ASSERT_TRUE(table);
    const double end = table->maximumContentOffsetY();
    table->setContentOffset(QPointF(0, end));
    table->setContentOffset(QPointF(0, 0));
    PSTableCell* cell = table->cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(cell);
    const QStringList keys{"k0_1", "k0_2", "k3_19", "k3_0", "k2_5"};
    const NSIndexPath collapsed[] = {{0, 1}, {0, 2}, {3, 19}, {3, 0}, {2, 5}};
    controller.setHeights(keys, 0);
    const QPoint where = table->rectForRowAtIndexPath({0, 1}).topLeft() + QPoint(40, 0);
    EXPECT_EQ(table->indexPathForRowAtPoint(where), (NSIndexPath{0, 3}));
    switchAt(table, {0, 0})->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), switchAt(table, {0, 3}));
    for (double offset : {0.0, end, end / 2, 0.66 * end, 3.0}) {
        table->setContentOffset(QPointF(0, offset));
        EXPECT_TRUE(viewMatchesRows(table));
        for (NSIndexPath path : collapsed) {
            PSTableCell* made = table->cellForRowAtIndexPath(path);
            EXPECT_TRUE(!made || made->isHidden()) << path.section << "." << path.row;
        }
    }
    controller.setHeights(keys, std::nullopt);
    for (double offset : {3.0, end / 2, 0.0}) {
        table->setContentOffset(QPointF(0, offset));
        EXPECT_TRUE(viewMatchesRows(table));
    }
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1}), cell);
    EXPECT_FALSE(cell->isHidden());
    EXPECT_TRUE(controller.writes.isEmpty());
}

TEST(UITableViewScroll, RowAtPointAcrossSectionsGapsAndCollapsedRows) {
    ListHost controller(switchSections(30, 10));
    UITableView* table = controller.show(390, 300);
    ASSERT_TRUE(table);
    controller.setHeights({"k20_0", "k20_1"}, 0);
    const QRect row = table->rectForRowAtIndexPath({17, 5});
    const QRect last = table->rectForRowAtIndexPath({29, 9});
    const QRect section20 = table->rectForSection(20);
    const struct {
        QPointF point;
        std::optional<NSIndexPath> expected;
    } cases[] = {
        // Row rectangles are rounded: points a pixel inside their edges.
        {QPointF(100, row.top() + 1), NSIndexPath{17, 5}},
        {QPointF(100, row.bottom() - 1), NSIndexPath{17, 5}},
        {QPointF(100, row.bottom() + 2), NSIndexPath{17, 6}},
        {QPointF(100, row.top() - 2), NSIndexPath{17, 4}},
        {QPointF(100, section20.top() + 1), NSIndexPath{20, 2}}, // under the collapsed rows
        {QPointF(100, section20.top() - 5), std::nullopt},       // the header's gap
        {QPointF(100, last.bottom() - 1), NSIndexPath{29, 9}},
        {QPointF(100, last.bottom() + 2), std::nullopt},
        {QPointF(100, -10), std::nullopt},
        {QPointF(5, row.center().y()), std::nullopt}, // in the inset
        {QPointF(table->viewport()->width() - 5, row.center().y()), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(table->indexPathForRowAtPoint(c.point), c.expected)
            << c.point.x() << "," << c.point.y();
    }
}

// After a far scroll, a hairline lies between shown rows and none above a section's first
// shown row, also when its first row is collapsed.
TEST(UITableViewScroll, HairlinesOnlyBetweenShownRows) {
    ListHost controller(switchSections(40, 5));
    UITableView* table = controller.show(390, 400);
    ASSERT_TRUE(table);
    controller.setHeights({"k30_0"}, 0);
    const QRect section = table->rectForSection(30);
    table->setContentOffset(QPointF(0, section.top() - 100));
    const QImage image = table->grab().toImage();
    for (int row = 1; row < 5; ++row) {
        const int y = onScreen(table, {30, row}).top() - 1;
        ASSERT_TRUE(y >= 0 && y < image.height());
        // A line darkens white (255) or the background (242) to about 190.
        EXPECT_EQ(image.pixelColor(section.left() + 40, y).red() < 230, row > 1) << row;
    }
}

} // namespace
