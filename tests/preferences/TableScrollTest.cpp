#include "ListHost.h"

#include "preferences/PSSwitchTableCell.h"
#include "preferences/UISwitch.h"

#include <QApplication>
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

} // namespace
