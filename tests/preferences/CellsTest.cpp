#include "ListHost.h"

#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSSliderTableCell.h"
#include "preferences/PSSwitchTableCell.h"
#include "preferences/UISlider.h"
#include "preferences/UISwitch.h"
#include "uikit/UITint.h"

#include <gtest/gtest.h>

namespace {

template <typename Cell> Cell* cellAt(UITableView* table, NSIndexPath path) {
    return qobject_cast<Cell*>(table->cellForRowAtIndexPath(path));
}

// A click stores the new state through the row; a value shown from the file stores nothing,
// and is drawn as the same value clicked: the thumb follows it.
TEST(PSSwitchTableCell, AClickStoresAndAShownValueIsDrawnAsOne) {
    ListHost controller(
        {groupRow("G"), switchRow("shown"), switchRow("clicked"), switchRow("off")});
    controller.stored.insert("shown", true); // read on opening
    UITableView* table = controller.show();
    ASSERT_TRUE(table);
    const auto control = [table](int row) {
        return cellAt<PSSwitchTableCell>(table, {0, row})->control();
    };
    // A click slides the thumb; a value from the file shows at once.
    const auto click = [&](int row) {
        QTest::mouseClick(control(row), Qt::LeftButton);
        control(row)->finishAnimation();
    };
    const auto drawn = [&](int row) { return control(row)->grab().toImage(); };
    click(1);
    EXPECT_EQ(controller.writes, QVariantList{true});
    EXPECT_EQ(drawn(0), drawn(1));
    EXPECT_NE(drawn(0), drawn(2));
    controller.stored.insert("shown", false); // the file changed: shown again
    table->cellForRowAtIndexPath({0, 0})->refreshCellContentsWithSpecifier(
        controller.specifiers().at(1));
    EXPECT_EQ(drawn(0), drawn(2));
    click(1);
    EXPECT_EQ(controller.writes, (QVariantList{true, false}));
    EXPECT_EQ(drawn(1), drawn(2));
}

TEST(PSSwitchTableCell, StoredValuesOfEveryKindGiveADefinedState) {
    const struct {
        QVariant stored;
        QVariant defaultValue;
        bool on;
    } cases[] = {
        {true, {}, true},
        {false, true, false},
        {qint64(1), {}, true},
        {qint64(0), true, false},
        {0.5, {}, true},
        {0.0, {}, false},
        {"YES", {}, true},
        {"true", {}, true},
        {" 1", {}, true},
        {"1", {}, true},
        {"-007", {}, true},
        {"0", {}, false},
        {"abc", {}, false},
        {"", {}, false},
        {QVariantList{true}, {}, false},
        {QByteArray("1"), {}, false},
        {{}, true, true},
        {{}, "no", false},
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

// A drag stores each value it passes, in single precision, as the row's value.
TEST(PSSliderTableCell, ADragStoresEveryValueItPasses) {
    ListHost controller({groupRow("G"), cellRow("PSSliderCell", "", "level", {{"max", 10}})});
    UITableView* table = controller.show();
    ASSERT_TRUE(table);
    UISlider* slider = cellAt<PSSliderTableCell>(table, {0, 0})->control();
    const QPoint from = slider->thumbRect().center().toPoint();
    const QPoint to = slider->pointForValue(7.5f).toPoint();
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    for (int x = from.x() + 5; x <= to.x(); x += 5)
        QTest::mouseMove(slider, QPoint(x, from.y()));
    QTest::mouseMove(slider, to);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
    EXPECT_NEAR(slider->value(), 7.5f, 0.1f);
    ASSERT_GT(controller.writes.size(), 3);
    EXPECT_EQ(controller.writes.last().typeId(), QMetaType::Float);
    EXPECT_EQ(controller.writes.last().toFloat(), slider->value());
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
        {"stored text", {{"min", 2}, {"max", 10}}, "abc", 2, 10, 2},
        {"falls back to default", {{"max", 10}, {"default", 4}}, QVariantList{5}, 0, 10, 4},
        {"above the range", {{"max", 10}}, 50, 0, 10, 10},
        {"below the range", {{"min", 3}, {"max", 10}}, -5, 3, 10, 3},
        {"range backwards", {{"min", 10}, {"max", 0}}, 4, 0, 10, 4},
        {"range as text", {{"min", "1"}, {"max", "x"}}, {}, 1, 1, 1},
        {"range not finite", {{"min", qQNaN()}, {"max", qInf()}}, 0.5, 0, 1, 0.5f},
        {"stored boolean", {{"max", 5}}, true, 0, 5, 1},
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

TEST(UISlider, RangeKeepsItsInvariantAndSetValueClamps) {
    UISlider slider;
    int changes = 0;
    QObject::connect(&slider, &UISlider::valueChanged, [&] { ++changes; });
    slider.setMaximumValue(10);
    slider.setValue(20);
    EXPECT_EQ(slider.value(), 10.0f);
    slider.setMinimumValue(15); // above the maximum: the maximum follows
    EXPECT_EQ(slider.maximumValue(), 15.0f);
    EXPECT_EQ(slider.value(), 15.0f);
    slider.setMaximumValue(-1); // below the minimum: the minimum follows
    EXPECT_EQ(slider.minimumValue(), -1.0f);
    slider.setValue(qQNaN());
    EXPECT_EQ(slider.value(), -1.0f);
    slider.setValue(0.5f, true);
    EXPECT_EQ(changes, 0); // values from code are not the user's
}

// A cell that records what the table tells it about selection.
class RecordingCell : public PSTableCell {
public:
    using PSTableCell::PSTableCell;
    void setSelected(bool selected, bool animated) override {
        calls.append({selected, animated});
        PSTableCell::setSelected(selected, animated);
    }
    QList<QPair<bool, bool>> calls;
};

// A click on a row selects it and lets go at once, animated; the row takes the table's tint.
TEST(PSTableCell, AClickSelectsThenDeselectsAndTheTintIsTheTables) {
    PSCellClassRegistry::registerCellClass(
        "RecordingCell", [](int style, const QString& reuse, PSSpecifier* specifier) {
            return new RecordingCell(style, reuse, specifier);
        });
    ListHost controller(
        {groupRow("G"), cellRow("PSLinkCell", "Open", {}, {{"cellClass", "RecordingCell"}})});
    UITableView* table = controller.show();
    ASSERT_TRUE(table);
    auto* cell = dynamic_cast<RecordingCell*>(table->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(60, 20)); // on its title
    EXPECT_EQ(cell->calls, (QList<QPair<bool, bool>>{{true, true}, {false, true}}));
    UITint::setTintColor(table, QColor(121, 145, 153));
    EXPECT_EQ(cell->tintColor(), QColor(121, 145, 153));
}

} // namespace
