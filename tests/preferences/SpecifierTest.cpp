#include "ListHost.h"

#include "preferences/PSTableCell.h"

#include <gtest/gtest.h>

namespace {

TEST(PSSpecifier, GetterAndSetterReachTheTargetWhileItLives) {
    auto* controller = new ListHost({switchRow("a", {{"default", true}})});
    PSSpecifier* specifier = controller->specifiers().at(0);
    PSSpecifier orphan({{"key", "a"}, {"default", true}}, controller);
    EXPECT_EQ(specifier->performGetter(), QVariant(true)); // the default, nothing stored yet
    specifier->performSetterWithValue(false);
    EXPECT_EQ(controller->stored.value("a"), QVariant(false));
    EXPECT_EQ(orphan.performGetter(), QVariant(false));
    delete controller; // the target goes before the specifier
    EXPECT_FALSE(orphan.performGetter().isValid());
    orphan.performSetterWithValue(true); // nowhere to go, and no crash
}

TEST(PSSpecifier, CellKindFollowsTheCellText) {
    const struct {
        QVariant cell;
        PSCellType type;
    } cases[] = {
        {"PSGroupCell", PSGroupCell},     {"PSSwitchCell", PSSwitchCell},
        {"PSLinkCell", PSLinkCell},       {"psswitchcell", PSListItemCell},
        {"PSNoSuchCell", PSListItemCell}, {6, PSListItemCell},
        {QVariant(), PSListItemCell},     {QVariantList{"PSSwitchCell"}, PSListItemCell},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell.toString().toStdString());
        QVariantMap properties;
        if (c.cell.isValid())
            properties.insert("cell", c.cell);
        EXPECT_EQ(PSSpecifier(properties, nullptr).cellType(), c.type);
        PSSpecifier changed({{"cell", "PSGroupCell"}}, nullptr); // set over an earlier kind
        changed.setProperty(c.cell, "cell");
        EXPECT_EQ(changed.cellType(), c.type);
    }
}

} // namespace
