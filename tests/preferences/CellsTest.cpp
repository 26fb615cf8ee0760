#include "ListHost.h"

#include "preferences/PSSliderTableCell.h"
#include "preferences/PSSwitchTableCell.h"
#include "preferences/UISlider.h"
#include "preferences/UISwitch.h"

#include <gtest/gtest.h>

namespace {

TEST(PSSwitchTableCell, StoredValuesOfEveryKindGiveADefinedState) {
    const struct {
        QVariant stored;
        QVariant defaultValue;
        bool on;
    } cases[] = {
        {false, true, false},
        {qint64(1), {}, true},
        {0.5, {}, true},
        {"YES", {}, true},
        {"1", {}, true},
        {"-007", {}, true},
        {"0", {}, false},
        {"abc", {}, false},
        {QVariantList{true}, {}, false},
        {QByteArray("1"), {}, false},
        {{}, true, true},
        {{}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        QVariantMap extra;
        if (c.defaultValue.isValid())
            extra.insert("default", c.defaultValue);
        ListHost controller({switchRow("s", extra)});
        if (c.stored.isValid())
            controller.stored.insert("s", c.stored);
        PSSwitchTableCell cell(0, "s", controller.specifiers().at(0));
        EXPECT_EQ(cell.control()->isOn(), c.on);
    }
}

TEST(PSSliderTableCell, RangeAndValueFromOddRowsAndStoredValues) {
    const struct {
        const char* what;
        QVariantMap properties;
        QVariant stored;
        float minimum, maximum, value;
    } cases[] = {
        {"no range", {}, 0.25, 0, 1, 0.25f},
        {"stored text number", {{"max", 10}}, "2.5", 0, 10, 2.5f},
        {"falls back to default", {{"max", 10}, {"default", 4}}, QVariantList{5}, 0, 10, 4},
        {"above the range", {{"max", 10}}, 50, 0, 10, 10},
        {"below the range", {{"min", 3}, {"max", 10}}, -5, 3, 10, 3},
        {"range backwards", {{"min", 10}, {"max", 0}}, 4, 0, 10, 4},
        {"range not finite", {{"min", qQNaN()}, {"max", qInf()}}, 0.5, 0, 1, 0.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ListHost controller({cellRow("PSSliderCell", "", "v", c.properties)});
        if (c.stored.isValid())
            controller.stored.insert("v", c.stored);
        PSSliderTableCell cell(0, "s", controller.specifiers().at(0));
        EXPECT_EQ(cell.control()->minimumValue(), c.minimum);
        EXPECT_EQ(cell.control()->maximumValue(), c.maximum);
        EXPECT_EQ(cell.control()->value(), c.value);
        EXPECT_TRUE(controller.writes.isEmpty()); // showing never stores
    }
}

;

} // namespace
