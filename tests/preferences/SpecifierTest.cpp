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

// Under the cell key only a cell is kept, and only while it lives.
TEST(PSSpecifier, HoldsItsCellOnlyWhileItLives) {
    PSSpecifier specifier({{"cell", "PSSwitchCell"}, {PSTableCellKey, "not a cell"}}, nullptr);
    EXPECT_FALSE(specifier.propertyForKey(PSTableCellKey).isValid());
    QObject notACell;
    specifier.setProperty(QVariant::fromValue<QObject*>(&notACell), PSTableCellKey);
    EXPECT_EQ(specifier.cell(), nullptr);
    auto* cell = new PSTableCell(0, "c", &specifier);
    specifier.setProperty(QVariant::fromValue<QObject*>(cell), PSTableCellKey);
    EXPECT_EQ(specifier.propertyForKey(PSTableCellKey).value<QObject*>(), cell);
    delete cell;
    EXPECT_EQ(specifier.cell(), nullptr);
    EXPECT_FALSE(specifier.properties().contains(PSTableCellKey));
    specifier.setProperty(QVariant(), "cell"); // an invalid value removes the key
    EXPECT_TRUE(specifier.properties().isEmpty());
}

TEST(PSSpecifier, CellKindFollowsTheCellText) {
    const struct {
        QVariant cell;
        PSCellType type;
    } cases[] = {
        {"PSGroupCell", PSGroupCell},     {"PSSwitchCell", PSSwitchCell},
        {"PSSliderCell", PSSliderCell},   {"PSEditTextCell", PSEditTextCell},
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

TEST(PSSpecifier, IdentifierFallsBackFromIdToKeyToName) {
    const struct {
        QVariantMap properties;
        QString identifier;
    } cases[] = {
        {{{"id", "i"}, {"key", "k"}, {"label", "L"}}, "i"},
        {{{"key", "k"}, {"label", "L"}}, "k"},
        {{{"key", 7}, {"label", "L"}}, "L"},
        {{{"id", QVariantMap{}}, {"label", "L"}}, "L"},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PSSpecifier(c.properties, nullptr).identifier(), c.identifier);
}

} // namespace
