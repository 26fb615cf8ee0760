#include "RowListBundle.h"
#include "TestListController.h"

#include "preferences/PSEditTextTableCell.h"
#include "preferences/PSTableCell.h"
#include "preferences/UITableView.h"

#include <QDateTime>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Collapse : public testing::Test {
protected:
    TempDeviceRoot root;
    TestListController controller;

    void load(const QVariantList& items) {
        controller.setBundle(makeRowListBundle(root, items));
        controller.view();
    }
    // Shows the list in a window so the table makes cells for its rows.
    void show() {
        controller.view()->resize(390, 844);
        controller.view()->show();
        QCoreApplication::processEvents();
        controller.view()->grab();
    }
    double baseHeight(int listIndex) {
        const auto path = controller.indexPathForSpecifier(controller.specifiers().at(listIndex));
        return controller.PSListController::heightForRowAtIndexPath(controller.table(), *path);
    }
    PSTableCell* cellOf(int listIndex) { return controller.specifiers().at(listIndex)->cell(); }
};

struct ValueCase {
    const char* name;
    QVariant value; // invalid: nothing stored
    bool collapses;
};

// Only a value whose text is exactly "0" collapses the group.
TEST_F(Collapse, DependsOnTheControllingValueReadingZero) {
    load({groupRow("G"), controlRow("a", 2), switchRow("x"), switchRow("y", {{"height", 60}}),
          switchRow("after")});
    const ValueCase cases[] = {
        {"false", false, true},
        {"integer 0", qint64(0), true},
        {"real 0.0", 0.0, true},
        {"real -0.0", -0.0, true},
        {"text 0", "0", true},
        {"true", true, false},
        {"integer 1", qint64(1), false},
        {"text 1", "1", false},
        {"text false", "false", false},
        {"text 0.0", "0.0", false},
        {"empty text", "", false},
        {"text with a blank", " 0", false},
        {"list holding 0", QVariantList{0}, false},
        {"date", QDateTime::fromSecsSinceEpoch(0, Qt::UTC), false},
        {"data", QByteArray("0"), false},
        {"absent, no default", QVariant(), false},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        controller.stored.clear();
        if (c.value.isValid())
            controller.stored.insert("a", c.value);
        EXPECT_EQ(controller.heightOf(2), c.collapses ? 0.0 : baseHeight(2));
        EXPECT_EQ(controller.heightOf(3), c.collapses ? 0.0 : 60.0);
        EXPECT_EQ(controller.heightOf(4), baseHeight(4)); // outside the group
        EXPECT_GT(controller.heightOf(1), 0.0);           // the controlling row itself
    }
}

TEST_F(Collapse, UsesTheDefaultWhenNothingIsStored) {
    load({controlRow("a", 1, {{"default", false}}), switchRow("x")});
    EXPECT_EQ(controller.heightOf(1), 0.0);
    controller.stored.insert("a", true);
    EXPECT_GT(controller.heightOf(1), 0.0);
}

TEST_F(Collapse, ARowInTwoGroupsCollapsesWhenEitherReadsZero) {
    load({controlRow("a", 2), controlRow("b", 1), switchRow("x")});
    const struct {
        int a, b;
        bool collapsed;
    } cases[] = {{1, 1, false}, {0, 1, true}, {1, 0, true}, {0, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "a=" << c.a << " b=" << c.b);
        controller.stored = {{"a", c.a}, {"b", c.b}};
        EXPECT_EQ(controller.heightOf(2) == 0.0, c.collapsed);
    }
}

TEST_F(Collapse, DoesNotCascade) {
    load({controlRow("a", 1), controlRow("b", 1), switchRow("c")});
    controller.stored = {{"a", 0}, {"b", 1}};
    EXPECT_EQ(controller.heightOf(1), 0.0);
    EXPECT_EQ(controller.heightOf(2), baseHeight(2));
}

TEST_F(Collapse, AGroupOfZeroNeverCollapsesButStoresStillRelayOut) {
    load({controlRow("a", 0), switchRow("x")});
    show();
    controller.stored.insert("a", 0);
    EXPECT_TRUE(controller.hasDynamicSpecifiers());
    EXPECT_EQ(controller.heightOf(1), baseHeight(1));

    const int before = controller.heightQueries;
    controller.setPreferenceValue(true, controller.specifiers().at(1));
    EXPECT_GE(controller.heightQueries - before, 2); // every row asked again
}

TEST_F(Collapse, WithoutGroupsAStoreLeavesTheTableAlone) {
    load({switchRow("a"), switchRow("x")});
    show();
    const int before = controller.heightQueries;
    controller.setPreferenceValue(false, controller.specifiers().at(0));
    EXPECT_FALSE(controller.hasDynamicSpecifiers());
    EXPECT_EQ(controller.heightQueries, before);
}

TEST_F(Collapse, ACollapsedCellClipsAndKeepsClipping) {
    load({groupRow("G"), controlRow("a", 2), switchRow("x"), switchRow("y")});
    controller.stored.insert("a", 1);
    show();
    PSTableCell* cell = cellOf(2);
    ASSERT_NE(cell, nullptr);
    EXPECT_FALSE(cell->clipsToBounds());

    controller.setPreferenceValue(0, controller.specifiers().at(1));
    EXPECT_TRUE(cell->clipsToBounds());
    EXPECT_TRUE(cellOf(3)->clipsToBounds());
    // Both rows reach height 0 in the table's own animated pass.
    const UITableView* table = controller.table();
    QTRY_COMPARE_WITH_TIMEOUT(table->rectForRowAtIndexPath({0, 1}).height(), 0, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(table->rectForRowAtIndexPath({0, 2}).height(), 0, 3000);

    controller.setPreferenceValue(1, controller.specifiers().at(1));
    QTRY_VERIFY_WITH_TIMEOUT(table->rectForRowAtIndexPath({0, 2}).height() > 0, 3000);
    EXPECT_TRUE(cell->clipsToBounds());
}

TEST_F(Collapse, ARowWithoutACellCollapsesWithoutClipping) {
    load({controlRow("a", 1), switchRow("x")});
    controller.stored.insert("a", 0);
    ASSERT_EQ(cellOf(1), nullptr);
    EXPECT_EQ(controller.heightOf(1), 0.0);
}

TEST_F(Collapse, StoringEndsEditingWhenGroupsExist) {
    load({groupRow("G"), controlRow("a", 1), switchRow("x"),
          QVariantMap{{"cell", "PSEditTextCell"}, {"label", "t"}, {"key", "t"}}});
    show();
    controller.view()->activateWindow();
    auto* textCell = qobject_cast<PSEditTextTableCell*>(cellOf(3));
    ASSERT_NE(textCell, nullptr);
    QLineEdit* field = textCell->textField();
    field->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(field->hasFocus(), 2000);

    controller.setPreferenceValue(0, controller.specifiers().at(1));
    EXPECT_FALSE(field->hasFocus());
}

} // namespace
