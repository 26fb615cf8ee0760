#include "TestListController.h"

#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSSliderTableCell.h"
#include "preferences/PSStaticTextTableCell.h"
#include "preferences/PSSwitchTableCell.h"
#include "preferences/UISlider.h"
#include "preferences/UISwitch.h"
#include "uikit/UITint.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

// A plain cell that records what the table tells it about selection.
class RecordingCell : public PSTableCell {
public:
    using PSTableCell::PSTableCell;
    void setSelected(bool selected, bool animated) override {
        calls.append({selected, animated});
        PSTableCell::setSelected(selected, animated);
    }
    QList<QPair<bool, bool>> calls;
};

template <typename Cell> Cell* cellAt(UITableView* table, NSIndexPath path) {
    return qobject_cast<Cell*>(table->cellForRowAtIndexPath(path));
}

} // namespace

TEST(PSSwitchTableCell, ClickStoresThroughTheSpecifier) {
    TestListController controller({row("PSGroupCell", "G"), row("PSSwitchCell", "Sound", "sound")});
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    auto* cell = cellAt<PSSwitchTableCell>(table, {0, 0});
    ASSERT_TRUE(cell);
    EXPECT_FALSE(cell->control()->isOn());
    QTest::mouseClick(cell->control(), Qt::LeftButton);
    EXPECT_EQ(controller.store.value("sound"), QVariant(true));
    QTest::mouseClick(cell->control(), Qt::LeftButton);
    EXPECT_EQ(controller.store.value("sound"), QVariant(false));
    EXPECT_EQ(controller.storedCount, 2);
    // Showing a value from code stores nothing.
    controller.store.insert("sound", true);
    cell->refreshCellContentsWithSpecifier(cell->specifier());
    EXPECT_TRUE(cell->control()->isOn());
    EXPECT_EQ(controller.storedCount, 2);
}

TEST(PSSwitchTableCell, SwitchIsADirectChildAtTheTrailingEdge) {
    TestListController controller({row("PSSwitchCell", "标题", "a")});
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    auto* cell = cellAt<PSSwitchTableCell>(table, {0, 0});
    ASSERT_TRUE(cell);
    UISwitch* control = cell->control();
    EXPECT_EQ(control->parentWidget(), cell);
    EXPECT_FALSE(cell->contentView()->isAncestorOf(control));
    EXPECT_EQ(control->size(), QSize(51, 31));
    EXPECT_EQ(control->geometry().right() + 1, cell->width() - 16);
    EXPECT_EQ(control->geometry().center().y(), cell->rect().center().y());
    EXPECT_LE(cell->contentView()->geometry().right(), control->x());
    EXPECT_EQ(cell->textLabel()->text(), "标题");
    EXPECT_TRUE(cell->textLabel()->isVisible());
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
        {0.0, {}, false},
        {0.5, {}, true},
        {"YES", {}, true},
        {"true", {}, true},
        {" 1", {}, true},
        {"0", {}, false},
        {"abc", {}, false},
        {"", {}, false},
        {QVariantList{true}, {}, false},
        {QVariantMap{{"a", true}}, {}, false},
        {QByteArray("1"), {}, false},
        {{}, true, true},
        {{}, "no", false},
        {{}, {}, false},
    };
    for (const auto& c : cases) {
        QVariantMap extra;
        if (c.defaultValue.isValid())
            extra.insert("default", c.defaultValue);
        TestListController controller({row("PSSwitchCell", "S", "s", extra)});
        if (c.stored.isValid())
            controller.store.insert("s", c.stored);
        PSSwitchTableCell cell(0, "s", controller.specifiers().at(0));
        EXPECT_EQ(cell.control()->isOn(), c.on) << c.stored.toString().toStdString();
    }
}

TEST(PSSliderTableCell, DragStoresASinglePrecisionNumber) {
    TestListController controller(
        {row("PSGroupCell", "G"), row("PSSliderCell", "", "level", {{"min", 0}, {"max", 10}})});
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    auto* cell = cellAt<PSSliderTableCell>(table, {0, 0});
    ASSERT_TRUE(cell);
    UISlider* slider = cell->control();
    EXPECT_EQ(slider->value(), 0.0f);
    int dragsInside = 0;
    int changes = 0;
    QObject::connect(slider, &UISlider::touchDragInside, [&] { ++dragsInside; });
    QObject::connect(slider, &UISlider::valueChanged, [&] { ++changes; });
    const QPoint from = slider->thumbRect().center().toPoint();
    const QPoint to = slider->pointForValue(7.5f).toPoint();
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    for (int x = from.x() + 5; x <= to.x(); x += 5)
        QTest::mouseMove(slider, QPoint(x, from.y()));
    QTest::mouseMove(slider, to);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
    EXPECT_NEAR(slider->value(), 7.5f, 0.1f);
    const QVariant stored = controller.store.value("level");
    EXPECT_EQ(stored.typeId(), QMetaType::Float);
    EXPECT_EQ(stored.toFloat(), slider->value());
    EXPECT_GT(dragsInside, 3);
    EXPECT_EQ(controller.storedCount, changes);
}

TEST(PSSliderTableCell, RangeAndValueFromOddRowsAndStoredValues) {
    const struct {
        const char* what;
        QVariantMap properties;
        QVariant stored;
        float minimum, maximum, value;
    } cases[] = {
        {"no range", {}, 0.25, 0, 1, 0.25f},
        {"stored text number", {{"min", 0}, {"max", 10}}, "2.5", 0, 10, 2.5f},
        {"stored text", {{"min", 2}, {"max", 10}}, "abc", 2, 10, 2},
        {"stored list", {{"min", 2}, {"max", 10}}, QVariantList{5}, 2, 10, 2},
        {"falls back to default", {{"min", 0}, {"max", 10}, {"default", 4}}, "abc", 0, 10, 4},
        {"above the range", {{"min", 0}, {"max", 10}}, 50, 0, 10, 10},
        {"below the range", {{"min", 3}, {"max", 10}}, -5, 3, 10, 3},
        {"range backwards", {{"min", 10}, {"max", 0}}, 4, 0, 10, 4},
        {"range as text", {{"min", "1"}, {"max", "x"}}, {}, 1, 1, 1},
        {"range not finite", {{"min", qQNaN()}, {"max", qInf()}}, 0.5, 0, 1, 0.5f},
        {"stored boolean", {{"max", 5}}, true, 0, 5, 1},
    };
    for (const auto& c : cases) {
        TestListController controller({row("PSSliderCell", "", "v", c.properties)});
        if (c.stored.isValid())
            controller.store.insert("v", c.stored);
        PSSliderTableCell cell(0, "s", controller.specifiers().at(0));
        EXPECT_EQ(cell.control()->minimumValue(), c.minimum) << c.what;
        EXPECT_EQ(cell.control()->maximumValue(), c.maximum) << c.what;
        EXPECT_EQ(cell.control()->value(), c.value) << c.what;
        EXPECT_EQ(controller.storedCount, 0) << c.what; // showing never stores
    }
}

TEST(UISlider, RangeKeepsItsInvariantAndSetValueClamps) {
    UISlider slider;
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
    int changes = 0;
    QObject::connect(&slider, &UISlider::valueChanged, [&] { ++changes; });
    slider.setValue(0.5f, true);
    EXPECT_EQ(changes, 0);
}

TEST(PSTableCell, ClickOnARowSelectsThenDeselects) {
    PSCellClassRegistry::registerCellClass(
        "RecordingCell", [](int style, const QString& reuse, PSSpecifier* specifier) {
            return new RecordingCell(style, reuse, specifier);
        });
    TestListController controller(
        {row("PSGroupCell", "G"), row("PSLinkCell", "Open", {}, {{"cellClass", "RecordingCell"}}),
         row("PSButtonCell", "Other", {}, {{"cellClass", "NoSuchClass"}})});
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    auto* cell = dynamic_cast<RecordingCell*>(table->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->metaObject(), &PSTableCell::staticMetaObject);
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(60, 20)); // on its title
    const QList<QPair<bool, bool>> expected{{true, true}, {false, true}};
    EXPECT_EQ(cell->calls, expected);
    EXPECT_GT(cell->highlightOpacity(), 0); // fading out
}

TEST(PSTableCell, TintIsInheritedFromTheTable) {
    TestListController controller({row("PSSliderCell", "", "v")});
    UITableView* table = controller.showTable();
    ASSERT_TRUE(table);
    PSTableCell* cell = table->cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->tintColor(), QColor(0, 122, 255));
    UITint::setTintColor(table, QColor(121, 145, 153));
    EXPECT_EQ(cell->tintColor(), QColor(121, 145, 153));
}

TEST(PSStaticTextTableCell, ShowsTheValueAsText) {
    TestListController controller({row("PSStaticTextCell", "版本", "version", {{"default", 1.5}})});
    PSStaticTextTableCell cell(1, "t", controller.specifiers().at(0));
    EXPECT_EQ(cell.textLabel()->text(), "版本");
    EXPECT_EQ(cell.detailTextLabel()->text(), "1.5");
    controller.store.insert("version", QVariantList{});
    cell.refreshCellContentsWithSpecifier(cell.specifier());
    EXPECT_EQ(cell.detailTextLabel()->text(), "");
}
