#include "PaneList.h"

#include "common/Eventually.h"

#include "preferences/PSEditTextTableCell.h"
#include "preferences/PSTableCell.h"
#include "preferences/UITableView.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// A group collapses exactly while its controlling row's value (or, with nothing stored, its
// default) reads "0" as text; the controlling row itself and the rows after the group stay.
TEST(Collapse, FollowsTheControllingValueReadingZero) {
    TempDeviceRoot root;
    const struct {
        const char* what;
        QVariant value; // invalid: nothing stored
        QVariant defaultValue;
        bool collapses;
    } cases[] = {
        {"false", false, {}, true},         {"real -0.0", -0.0, {}, true},
        {"text 0", "0", {}, true},          {"real 0.5", 0.5, {}, false},
        {"text false", "false", {}, false}, {"text 0.0", "0.0", {}, false},
        {"empty text", "", {}, false},      {"absent, default false", {}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QVariantMap extra;
        if (c.defaultValue.isValid())
            extra.insert("default", c.defaultValue);
        PaneList list(root, {groupRow("G"), controlRow("a", 2, extra), switchRow("x"),
                             switchRow("y", {{"height", 60}}), switchRow("after")});
        if (c.value.isValid())
            list.controller.stored.insert("a", c.value);
        EXPECT_EQ(list.height(2), c.collapses ? 0.0 : list.baseHeight(2));
        EXPECT_EQ(list.height(3), c.collapses ? 0.0 : 60.0);
        EXPECT_EQ(list.height(4), list.baseHeight(4));
        EXPECT_GT(list.height(1), 0.0);
    }
}

// A row in two groups collapses when either reads zero; a collapsed controlling row does not
// collapse its own group (no cascade).
TEST(Collapse, GroupsOverlapButDoNotCascade) {
    TempDeviceRoot root;
    const struct {
        int a, b, countA, countB;
        QList<bool> collapsed; // rows 1 to 3
    } cases[] = {{0, 1, 3, 2, {true, true, true}},
                 {1, 0, 3, 2, {false, true, true}},
                 {0, 1, 1, 1, {true, false, false}}};
    for (const auto& c : cases) {
        PaneList list(root, {controlRow("a", c.countA), controlRow("b", c.countB), switchRow("x"),
                             switchRow("y")});
        list.controller.stored = {{"a", c.a}, {"b", c.b}};
        for (int row = 1; row <= 3; ++row)
            EXPECT_EQ(list.height(row) == 0.0, c.collapsed[row - 1])
                << c.a << c.b << c.countA << c.countB << " row " << row;
    }
}

// Turning the controlling row off ends any editing and collapses its group on screen in the
// table's animated pass; the collapsing cells clip their content, and keep clipping once open.
TEST(Collapse, TheTableFollowsAndCollapsedCellsClip) {
    TempDeviceRoot root;
    PaneList list(root, {groupRow("G"), controlRow("a", 2), switchRow("x"), switchRow("y"),
                         cellRow("PSEditTextCell", "t", "t")});
    list.controller.stored.insert("a", 1);
    list.show();
    list.controller.view()->activateWindow();
    PSTableCell* cell = list.row(2)->cell();
    ASSERT_NE(cell, nullptr);
    EXPECT_FALSE(cell->clipsToBounds());
    QLineEdit* field = qobject_cast<PSEditTextTableCell*>(list.row(4)->cell())->textField();
    field->setFocus();
    ASSERT_TRUE(eventually([&] { return field->hasFocus(); }, "the field takes the focus"));
    const UITableView* table = list.controller.table();
    const auto height = [table](int row) {
        return table->rectForRowAtIndexPath({0, row}).height();
    };

    list.controller.setPreferenceValue(0, list.row(1));
    EXPECT_FALSE(field->hasFocus());
    EXPECT_TRUE(cell->clipsToBounds());
    EXPECT_TRUE(list.row(3)->cell()->clipsToBounds());
    EXPECT_TRUE(eventually([&] { return height(1) == 0 && height(2) == 0; }, "rows collapse"));
    list.controller.setPreferenceValue(1, list.row(1));
    EXPECT_TRUE(eventually([&] { return height(1) > 0 && height(2) > 0; }, "rows open"));
    EXPECT_TRUE(cell->clipsToBounds());
}

} // namespace
