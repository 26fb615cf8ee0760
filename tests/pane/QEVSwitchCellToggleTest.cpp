#include "PaneFixture.h"

#include "cells/QEVSwitchCell.h"
#include "preferences/PSCellClassRegistry.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"

namespace {

QVariantMap infoSwitchRow(const QString& key, const QVariantMap& extra = {}) {
    QVariantMap row = switchRow(key, extra);
    row.insert("cellClass", "QEVSwitchCell");
    return row;
}

} // namespace

// The switch row through the real pane: a click stores through the specifier into the
// preference file, and a controlling row's group collapses, exactly as for the host's cell.
TEST(QEVSwitchCellInPane, ToggleStoresAndCollapsesItsGroup) {
    TempDeviceRoot root;
    ASSERT_TRUE(PropertyList::writeDictionary({{"kept", "yes"}}, root.hostPath(kPrefsDevicePath)));
    ShownPane shown(
        makeRowListBundle(root, {groupRow("G"),
                                 infoSwitchRow("a", {{"default", true},
                                                     {"nestedEntryCount", 2},
                                                     {"infoTitle", "T"},
                                                     {"infoMessage", "m"}}),
                                 infoSwitchRow("x"), infoSwitchRow("y"), infoSwitchRow("after")}));
    ASSERT_TRUE(PSCellClassRegistry::hasCellClass("QEVSwitchCell"));
    CountingPane* pane = shown.pane;

    auto* cell = shown.cellAt<QEVSwitchCell>(1);
    ASSERT_NE(cell, nullptr);
    ASSERT_NE(cell->infoButton(), nullptr);
    EXPECT_EQ(cell->control()->onTintColor(), QEVSwitchCell::onTintColor());
    ASSERT_TRUE(cell->control()->isOn());
    QTest::mouseClick(cell->control(), Qt::LeftButton);

    EXPECT_EQ(PropertyList::readDictionary(root.hostPath(kPrefsDevicePath)),
              (QVariantMap{{"kept", "yes"}, {"a", false}}));
    UITableView* table = pane->table();
    for (int row : {1, 2})
        QTRY_COMPARE_WITH_TIMEOUT(table->rectForRowAtIndexPath({0, row}).height(), 0, 3000);
    EXPECT_GT(table->rectForRowAtIndexPath({0, 3}).height(), 0);

    QTest::mouseClick(cell->control(), Qt::LeftButton);
    EXPECT_EQ(PropertyList::readDictionary(root.hostPath(kPrefsDevicePath))->value("a"), true);
    QTRY_VERIFY_WITH_TIMEOUT(table->rectForRowAtIndexPath({0, 1}).height() > 0, 3000);
}
