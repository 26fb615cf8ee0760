#include "TestListController.h"

#include "preferences/PSSpecifier.h"
#include "preferences/PSTableCell.h"

#include <gtest/gtest.h>

TEST(PSSpecifier, GetterAndSetterReachTheTarget) {
    TestListController controller({row("PSSwitchCell", "A", "a", {{"default", true}})});
    PSSpecifier* specifier = controller.specifiers().at(0);
    EXPECT_EQ(specifier->performGetter(), QVariant(true)); // the default, nothing stored yet
    specifier->performSetterWithValue(false);
    EXPECT_EQ(controller.store.value("a"), QVariant(false));
    EXPECT_EQ(specifier->performGetter(), QVariant(false));
}

TEST(PSSpecifier, WithoutTargetGetterGivesNothingAndSetterIsIgnored) {
    PSSpecifier specifier({{"key", "a"}, {"default", 3}}, nullptr);
    EXPECT_FALSE(specifier.performGetter().isValid());
    specifier.performSetterWithValue(5); // must not crash
    auto* controller = new TestListController({});
    specifier.setTarget(controller);
    delete controller; // the target goes away before the specifier
    EXPECT_EQ(specifier.target(), nullptr);
    EXPECT_FALSE(specifier.performGetter().isValid());
}

TEST(PSSpecifier, CellIsClearedWhenItIsDestroyed) {
    PSSpecifier specifier({{"cell", "PSSwitchCell"}}, nullptr);
    EXPECT_FALSE(specifier.propertyForKey(PSTableCellKey).isValid());
    auto* cell = new PSTableCell(0, "c", &specifier);
    specifier.setProperty(QVariant::fromValue<QObject*>(cell), PSTableCellKey);
    EXPECT_EQ(specifier.cell(), cell);
    EXPECT_EQ(specifier.propertyForKey(PSTableCellKey).value<QObject*>(), cell);
    EXPECT_TRUE(specifier.properties().contains(PSTableCellKey));
    delete cell;
    EXPECT_EQ(specifier.cell(), nullptr);
    EXPECT_FALSE(specifier.propertyForKey(PSTableCellKey).isValid());
    EXPECT_FALSE(specifier.properties().contains(PSTableCellKey));
}

TEST(PSSpecifier, OnlyCellsAreKeptUnderTheCellKey) {
    PSSpecifier specifier;
    QObject notACell;
    specifier.setProperty(QVariant::fromValue<QObject*>(&notACell), PSTableCellKey);
    EXPECT_EQ(specifier.cell(), nullptr);
    specifier.setProperty(QStringLiteral("text"), PSTableCellKey);
    EXPECT_FALSE(specifier.propertyForKey(PSTableCellKey).isValid());
}

TEST(PSSpecifier, PropertiesAreStoredAndRemoved) {
    PSSpecifier specifier({{"height", 50}}, nullptr);
    specifier.setProperty(QStringLiteral("x"), "extra");
    EXPECT_EQ(specifier.propertyForKey("extra"), QVariant("x"));
    EXPECT_EQ(specifier.properties().size(), 2);
    specifier.setProperty(QVariant(), "extra");
    EXPECT_FALSE(specifier.propertyForKey("extra").isValid());
    EXPECT_EQ(specifier.propertyForKey("height"), QVariant(50));
}

// The constructor keeps what setProperty would keep, whether or not it can share the map.
TEST(PSSpecifier, ConstructorKeepsWhatSetPropertyWouldKeep) {
    const struct {
        QVariantMap given;
        qsizetype kept;
    } cases[] = {
        {{{"cell", "PSSwitchCell"}, {"key", "a"}}, 2},
        {{{"cell", "PSSwitchCell"}, {PSTableCellKey, "not a cell"}}, 1},
        {{{"cell", "PSSwitchCell"}, {"gone", QVariant()}}, 1},
    };
    for (const auto& c : cases) {
        QVariantMap source = c.given;
        PSSpecifier specifier(source, nullptr);
        EXPECT_EQ(specifier.properties().size(), c.kept);
        EXPECT_EQ(specifier.propertyForKey("cell"), QVariant("PSSwitchCell"));
        EXPECT_FALSE(specifier.propertyForKey(PSTableCellKey).isValid());
        EXPECT_FALSE(specifier.properties().contains("gone"));
        // Neither side sees the other's later changes.
        specifier.setProperty(QStringLiteral("changed"), "cell");
        source.insert("key", "b");
        EXPECT_EQ(source.value("cell"), QVariant("PSSwitchCell"));
        EXPECT_NE(specifier.propertyForKey("key"), QVariant("b"));
    }
}

TEST(PSSpecifier, CellTypeFromTheCellText) {
    const struct {
        QVariant cell;
        PSCellType type;
    } cases[] = {
        {"PSGroupCell", PSGroupCell},
        {"PSSwitchCell", PSSwitchCell},
        {"PSSliderCell", PSSliderCell},
        {"PSEditTextCell", PSEditTextCell},
        {"PSStaticTextCell", PSStaticTextCell},
        {"PSLinkCell", PSLinkCell},
        {"PSButtonCell", PSButtonCell},
        {"PSNoSuchCell", PSListItemCell},
        {"psswitchcell", PSListItemCell},
        {QVariant(), PSListItemCell},
        {6, PSListItemCell},
        {QVariantList{"PSSwitchCell"}, PSListItemCell},
    };
    for (const auto& c : cases) {
        // Set after construction, over an earlier kind, and given to the constructor.
        PSSpecifier specifier;
        specifier.setProperty(c.cell, "cell");
        EXPECT_EQ(specifier.cellType(), c.type) << c.cell.toString().toStdString();
        PSSpecifier changed({{"cell", "PSGroupCell"}}, nullptr);
        changed.setProperty(c.cell, "cell");
        EXPECT_EQ(changed.cellType(), c.type) << c.cell.toString().toStdString();
        QVariantMap properties;
        if (c.cell.isValid())
            properties.insert("cell", c.cell);
        EXPECT_EQ(PSSpecifier(properties, nullptr).cellType(), c.type);
    }
    PSSpecifier removed({{"cell", "PSSwitchCell"}}, nullptr);
    removed.removePropertyForKey("cell");
    EXPECT_EQ(removed.cellType(), PSListItemCell);
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
