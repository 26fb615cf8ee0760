#include "ListHost.h"

#include "common/Eventually.h"

#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSEditTextTableCell.h"

#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

// Each row's height is asked and used as given where it is a sound height; a cell may give its
// row a height while it is made.
TEST(UITableView, EveryRowsHeightIsAskedAndUsed) {
    PSCellClassRegistry::registerCellClass(
        "TallCell", [](int style, const QString& reuse, PSSpecifier* specifier) {
            specifier->setProperty(50, "height");
            return new PSTableCell(style, reuse, specifier);
        });
    ListHost controller({
        groupRow("G"),
        switchRow("plain"),
        switchRow("fifty", {{"height", 50}}),
        switchRow("text", {{"height", "abc"}}),
        switchRow("numeric text", {{"height", "60"}}),
        switchRow("negative", {{"height", -5}}),
        switchRow("zero", {{"height", 0}}),
        cellRow("PSLinkCell", "made tall", {}, {{"cellClass", "TallCell"}}),
    });
    UITableView* table = controller.show(390, 800);
    ASSERT_TRUE(table);
    EXPECT_GE(controller.heightQueries, 7);
    const int expected[] = {44, 50, 44, 60, 44, 0, 50};
    int top = table->rectForRowAtIndexPath({0, 0}).top();
    for (int r = 0; r < 7; ++r) {
        const QRect rect = table->rectForRowAtIndexPath({0, r});
        EXPECT_EQ(rect.height(), expected[r]) << r;
        EXPECT_EQ(rect.top(), top) << r; // rows follow each other
        top = rect.bottom() + 1;
    }
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 6})->height(), 50);
}

TEST(UITableView, EndUpdatesAsksEveryHeightAgainAndAnimatesToThem) {
    ListHost controller(switchSections(1, 30));
    UITableView* table = controller.show(390, 300);
    ASSERT_TRUE(table);
    const int cellsMade = controller.cellsMade;
    controller.heightQueries = 0;
    controller.heightOverrides.insert("k0_1", 80);
    table->beginUpdates();
    table->beginUpdates(); // nested: only the outer end counts
    table->endUpdates();
    EXPECT_EQ(controller.heightQueries, 0);
    table->endUpdates();
    EXPECT_EQ(controller.heightQueries, 30);
    EXPECT_EQ(controller.openPasses, 0) << "a height pass was left open";
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).height(), 44); // not there yet
    EXPECT_TRUE(eventually(
        [&] {
            return table->rectForRowAtIndexPath({0, 1}).height() == 80;
        },
        "the row grows to its new height", 2000));
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->height(), 80);
    EXPECT_EQ(controller.cellsMade, cellsMade); // no cell was made again
}

TEST(PSListController, DestroyedWhileItsTableShowsAndEdits) {
    auto* controller = new ListHost({groupRow("G"), cellRow("PSEditTextCell", "Name", "name")});
    UITableView* table = controller->show();
    ASSERT_TRUE(table);
    qobject_cast<PSEditTextTableCell*>(table->cellForRowAtIndexPath({0, 0}))
        ->textField()
        ->setFocus();
    QPointer<UITableView> guard(table);
    delete controller; // must not call back into the half-destroyed controller
    EXPECT_TRUE(!guard || guard->controller() == nullptr);
    delete guard.data();
}

} // namespace
