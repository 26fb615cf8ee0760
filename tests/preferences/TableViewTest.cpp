#include "TestListController.h"

#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSEditTextTableCell.h"
#include "preferences/PSSwitchTableCell.h"
#include "preferences/PSTableCell.h"
#include "preferences/UISwitch.h"
#include "uikit/UIFont.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

QVariantList manySwitches(int count) {
    QVariantList items{row("PSGroupCell", "Group")};
    for (int i = 0; i < count; ++i)
        items << row("PSSwitchCell", QString("Row %1").arg(i), QString("k%1").arg(i));
    return items;
}

// The row's rectangle as the viewport shows it now.
QRect onScreen(UITableView* table, NSIndexPath path) {
    return table->rectForRowAtIndexPath(path).translated(0, -qRound(table->contentOffset().y()));
}

} // namespace

TEST(UITableView, SectionsHeadersAndFootersComeFromGroups) {
    TestListController controller({
        row("PSSwitchCell", "before any group", "a"),
        row("PSGroupCell", "First", {}, {{"footerText", "First footer"}}),
        row("PSSwitchCell", "one", "b"),
        row("PSSliderCell", "two", "c"),
        row("PSGroupCell", "Empty"),
        row("PSGroupCell", "", {}, {{"footerText", "Only a footer"}}),
        row("PSStaticTextCell", "three", "d"),
    });
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    ASSERT_EQ(table->numberOfSections(), 4);
    const int rows[] = {1, 2, 0, 1};
    const char* headers[] = {"", "First", "Empty", ""};
    const char* footers[] = {"", "First footer", "", "Only a footer"};
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(table->numberOfRowsInSection(s), rows[s]) << s;
        EXPECT_EQ(table->headerTitleForSection(s), headers[s]) << s;
        EXPECT_EQ(table->footerTitleForSection(s), footers[s]) << s;
    }
    EXPECT_EQ(controller.specifierAtIndexPath({1, 1})->name(), "two");
    EXPECT_EQ(controller.indexPathForSpecifier(controller.specifiers().at(6)), (NSIndexPath{3, 0}));
    EXPECT_FALSE(controller.indexPathForSpecifier(controller.specifiers().at(1)).has_value());
    EXPECT_EQ(controller.specifierAtIndexPath({2, 0}), nullptr);
    EXPECT_EQ(controller.specifierAtIndexPath({-1, 0}), nullptr);
    // Sections are inset and stacked in order, each below the previous.
    EXPECT_EQ(table->rectForSection(1).left(), 16);
    EXPECT_EQ(table->rectForSection(1).width(), 390 - 32);
    EXPECT_GT(table->rectForSection(1).top(), table->rectForSection(0).bottom() + 20);
}

// A header is as high as its text wrapped to the section's width, whatever the text holds.
TEST(UITableView, AHeaderIsAsHighAsItsWrappedText) {
    const QString texts[] = {"Section 12", "x",        QString(60, 'W'),
                             "a\tb",       "播放设置", QString::fromUtf8("Ünïcödé")};
    const double width = 390 - 2 * 16 - 2 * 16; // the section's inset and the text's
    const QFontMetricsF metrics(UIFont::systemFontOfSize(13));
    for (const QString& text : texts) {
        TestListController controller({row("PSGroupCell", text), row("PSSwitchCell", "r", "k")});
        UITableView* table = controller.showTable();
        ASSERT_TRUE(table);
        const double height =
            metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height();
        EXPECT_EQ(table->rectForSection(0).top(), qRound(17 + height + 7)) << text.toStdString();
    }
}

TEST(UITableView, EveryRowsHeightIsAskedAndUsed) {
    TestListController controller({
        row("PSGroupCell", "G"),
        row("PSSwitchCell", "plain", "a"),
        row("PSSwitchCell", "fifty", "b", {{"height", 50}}),
        row("PSSwitchCell", "text", "c", {{"height", "abc"}}),
        row("PSSwitchCell", "numeric text", "d", {{"height", "60"}}),
        row("PSSwitchCell", "negative", "e", {{"height", -5}}),
        row("PSSwitchCell", "list", "f", {{"height", QVariantList{1}}}),
        row("PSSwitchCell", "boolean", "g", {{"height", true}}),
        row("PSSwitchCell", "zero", "h", {{"height", 0}}),
    });
    UITableView* table = controller.showTable(390, 800);
    ASSERT_TRUE(table);
    const int expected[] = {44, 50, 44, 60, 44, 44, 44, 0};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(table->rectForRowAtIndexPath({0, r}).height(), expected[r]) << r;
        EXPECT_TRUE(controller.heightsAsked.contains(NSIndexPath{0, r})) << r;
    }
}

TEST(UITableView, ZeroHeightRowShowsNothingTakesNoClickAndNoFocus) {
    TestListController controller({row("PSGroupCell", "G"), row("PSSwitchCell", "A", "a"),
                                   row("PSSwitchCell", "B", "b"), row("PSSwitchCell", "C", "c")});
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    auto* cellB = qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath({0, 1}));
    ASSERT_TRUE(cellB);
    controller.heightOverrides.insert("b", 0);
    table->beginUpdates();
    table->endUpdates();
    table->finishAnimations();
    EXPECT_TRUE(cellB->isHidden());
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).height(), 0);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 2}).top(),
              table->rectForRowAtIndexPath({0, 0}).bottom() + 1);
    // Clicking where the row was hits the next row instead.
    const QPoint where = onScreen(table, {0, 1}).topLeft() + QPoint(40, 0);
    EXPECT_EQ(table->indexPathForRowAtPoint(QPointF(where) + table->contentOffset()),
              (NSIndexPath{0, 2}));
    // Tab goes from A's switch straight to C's.
    auto* switchA =
        qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath({0, 0}))->control();
    auto* switchC =
        qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath({0, 2}))->control();
    switchA->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(switchA->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(switchC->hasFocus());
    EXPECT_EQ(controller.storedCount, 0);
    // Back to full height: the cell shows again, the same cell.
    controller.heightOverrides.remove("b");
    table->beginUpdates();
    table->endUpdates();
    table->finishAnimations();
    EXPECT_FALSE(cellB->isHidden());
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1}), cellB);
}

TEST(UITableView, CellsAreMadeOnlyWhenTheirRowComesIntoView) {
    TestListController controller(manySwitches(40));
    UITableView* table = controller.showTable(390, 300);
    ASSERT_TRUE(table);
    const int madeAtTop = int(table->madeCells().size());
    EXPECT_GT(madeAtTop, 3);
    EXPECT_LT(madeAtTop, 10);
    for (int r = 0; r < 40; ++r) {
        PSSpecifier* specifier = controller.specifierAtIndexPath({0, r});
        PSTableCell* cell = table->cellForRowAtIndexPath({0, r});
        EXPECT_EQ(specifier->cell(), cell) << r;
        if (cell) {
            EXPECT_TRUE(onScreen(table, {0, r}).intersects(table->viewport()->rect())) << r;
        }
    }
    EXPECT_EQ(controller.cellsAsked.size(), madeAtTop);
    table->setContentOffset(QPointF(0, table->maximumContentOffsetY()));
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 39}));
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 20}));
    // The cells are never made twice.
    table->setContentOffset(QPointF(0, 0));
    EXPECT_EQ(controller.cellsAsked.size(), table->madeCells().size());
}

TEST(UITableView, ReloadForgetsCellsAndClearsTheirSpecifiers) {
    TestListController controller(manySwitches(3));
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    PSSpecifier* specifier = controller.specifierAtIndexPath({0, 0});
    QPointer<PSTableCell> old = specifier->cell();
    ASSERT_TRUE(old);
    controller.reloadSpecifiers();
    EXPECT_NE(specifier->cell(), old.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(old);
    EXPECT_TRUE(specifier->cell()); // a new one for the visible row
}

TEST(UITableView, EndUpdatesAsksEveryHeightAgainAndAnimates) {
    TestListController controller(manySwitches(30));
    UITableView* table = controller.showTable(390, 300);
    ASSERT_TRUE(table);
    controller.heightsAsked.clear();
    controller.heightOverrides.insert("k1", 80);
    table->beginUpdates();
    table->beginUpdates(); // nested: only the outer end counts
    table->endUpdates();
    EXPECT_TRUE(controller.heightsAsked.isEmpty());
    table->endUpdates();
    EXPECT_EQ(controller.heightsAsked.size(), 30);
    EXPECT_TRUE(table->isAnimating());
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).height(), 44); // not there yet
    QTRY_COMPARE_WITH_TIMEOUT(table->rectForRowAtIndexPath({0, 1}).height(), 80, 2000);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->height(), 80);
    // No cell was made again.
    EXPECT_EQ(controller.cellsAsked.size(), table->madeCells().size());
}

TEST(UITableView, EndEditingTakesTheFocusFromATextField) {
    TestListController controller({row("PSGroupCell", "G"), row("PSEditTextCell", "Name", "name"),
                                   row("PSSwitchCell", "S", "s")});
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    auto* cell = qobject_cast<PSEditTextTableCell*>(table->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    QTest::mouseClick(cell->textField(), Qt::LeftButton);
    ASSERT_TRUE(cell->textField()->hasFocus());
    QTest::keyClicks(cell->textField(), "Ada");
    EXPECT_TRUE(table->endEditing(true));
    EXPECT_FALSE(cell->textField()->hasFocus());
    EXPECT_EQ(controller.store.value("name"), QVariant("Ada")); // stored when editing ended
    EXPECT_FALSE(table->endEditing(true));
    // A focused switch is not a text field: it keeps the focus.
    auto* switchCell = qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath({0, 1}));
    switchCell->control()->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(table->endEditing(true));
    EXPECT_TRUE(switchCell->control()->hasFocus());
}

TEST(UITableView, ContentOffsetReportsEveryChangeAndGoesNegativeWhilePulled) {
    TestListController controller(manySwitches(30));
    UITableView* table = controller.showTable(390, 400);
    ASSERT_TRUE(table);
    table->setContentOffset(QPointF(0, 100));
    table->setContentOffset(QPointF(0, 100)); // no change, no report
    table->setContentOffset(QPointF(0, -60));
    EXPECT_EQ(controller.scrolledOffsets, (QList<double>{100, -60}));
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->y(),
              table->rectForRowAtIndexPath({0, 0}).top() + 60);
    table->setContentOffset(QPointF(0, 0));

    // Pull the list down with the mouse, on a row's title.
    QWidget* viewport = table->viewport();
    const QPoint start(200, 150);
    QWidget* under = viewport->childAt(start) ? viewport->childAt(start) : viewport;
    QTest::mousePress(under, Qt::LeftButton, {}, under->mapFrom(viewport, start));
    for (int dy = 10; dy <= 150; dy += 10) {
        QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(0, dy)),
                         viewport->mapToGlobal(QPointF(start + QPoint(0, dy))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    const double pulled = table->contentOffset().y();
    EXPECT_LT(pulled, -20);
    EXPECT_GT(pulled, -150); // resists: less than the finger moved
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, start + QPoint(0, 150));
    table->finishAnimations();
    EXPECT_EQ(table->contentOffset().y(), 0); // sprang back
    EXPECT_EQ(controller.scrolledOffsets.last(), 0);
    EXPECT_EQ(controller.storedCount, 0); // a drag is not a click
}

TEST(UITableView, HeaderViewSitsAboveTheFirstSection) {
    TestListController controller(manySwitches(2));
    auto* header = new QWidget;
    header->setGeometry(0, 0, 200, 200);
    controller.table()->setTableHeaderView(header);
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(header->parentWidget(), table->viewport());
    EXPECT_EQ(header->geometry(), QRect(0, 0, 390, 200));
    EXPECT_GE(table->rectForRowAtIndexPath({0, 0}).top(), 200);
    table->setContentOffset(QPointF(0, -40));
    EXPECT_EQ(header->y(), 40);
    table->setTableHeaderView(header); // again: nothing moves
    EXPECT_EQ(header->geometry(), QRect(0, 40, 390, 200));
}

TEST(UITableView, MouseWheelScrollsWithinTheContent) {
    TestListController controller(manySwitches(30));
    UITableView* table = controller.showTable(390, 400);
    ASSERT_TRUE(table);
    QWheelEvent up(QPointF(100, 100), table->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(),
                   QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(table->viewport(), &up);
    EXPECT_EQ(table->contentOffset().y(), 0); // never above the top
    QWheelEvent down(QPointF(100, 100), table->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(),
                     QPoint(0, -120 * 100), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(table->viewport(), &down);
    EXPECT_EQ(table->contentOffset().y(), table->maximumContentOffsetY());
}

TEST(PSListController, ViewLifecycleFollowsTheWindow) {
    TestListController controller(manySwitches(2));
    EXPECT_TRUE(controller.lifecycle.isEmpty());
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(controller.view(), table);
    EXPECT_EQ(controller.lifecycle, (QStringList{"didLoad", "willAppear"}));
    table->hide();
    EXPECT_EQ(controller.lifecycle.last(), "willDisappear");
    EXPECT_EQ(controller.lifecycle.count("didLoad"), 1);
}

TEST(UITableView, ACellMayGiveItsRowAHeightWhileItIsMade) {
    PSCellClassRegistry::registerCellClass(
        "TallCell", [](int style, const QString& reuse, PSSpecifier* specifier) {
            specifier->setProperty(50, "height");
            return new PSTableCell(style, reuse, specifier);
        });
    TestListController controller(
        {row("PSLinkCell", "T", {}, {{"cellClass", "TallCell"}}), row("PSLinkCell", "U")});
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 0}).height(), 50);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->height(), 50);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).top(),
              table->rectForRowAtIndexPath({0, 0}).bottom() + 1);
}

TEST(PSListController, DestroyedWhileItsTableShows) {
    auto* controller =
        new TestListController({row("PSGroupCell", "G"), row("PSEditTextCell", "Name", "name")});
    UITableView* table = controller->showTable();
    ASSERT_TRUE(table);
    auto* cell = qobject_cast<PSEditTextTableCell*>(table->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    cell->textField()->setFocus();
    QPointer<UITableView> guard(table);
    delete controller; // must not call back into the half-destroyed controller
    EXPECT_TRUE(!guard || guard->controller() == nullptr);
    delete guard.data();
}
