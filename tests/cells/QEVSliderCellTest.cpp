#include "CellTestHost.h"

#include "common/LocaleScope.h"

#include "cells/QEVSliderStep.h"
#include "uikit/UILongPressGestureRecognizer.h"

#include <cmath>
#include <optional>

namespace {

// The step rule alone: the maximum picks the step, the bounds of each branch are inclusive.
TEST(QEVSliderStepRule, StepsUpAndDown) {
    struct Case {
        float maximum, value, up, down;
    } const cases[] = {{10, 0.35f, 0.4f, 0.3f},
                       {10, 0.4f, 0.5f, 0.3f},
                       {10, -0.25f, -0.2f, -0.3f},
                       {100, 2.5f, 3, 2},
                       {100, 3, 4, 2},
                       {100, -2.5f, -2, -3},
                       {1, 0.505f, 0.515f, 0.495f},
                       {0.5f, -50, -49.99f, -50.01f},
                       {1.0001f, 0.3f, 0.4f, 0.2f},
                       {10.0001f, 0.3f, 1.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "max " << c.maximum << ", value " << c.value);
        EXPECT_FLOAT_EQ(QEVSliderStep::up(c.value, c.maximum), c.up);
        EXPECT_FLOAT_EQ(QEVSliderStep::down(c.value, c.maximum), c.down);
    }
}

// A step through the cell: the bound it reaches, stored once as the float widened exactly and
// shown in the read-out at once; never -0.
TEST(QEVSliderCellStep, StoresAndShowsEachStepWithinTheRange) {
    struct Case {
        float minimum, maximum, start;
        bool up;
        float expected;
    } const cases[] = {
        {0, 1, 0.3f, true, 0.31f},           // a maximum of exactly 1: the fine step
        {0, 10, 9.95f, true, 10},            // lands on the maximum
        {0, 10, 10, true, 10},               // at the maximum: stored again
        {0, 1, 0.995f, true, 1},             // past the maximum: clamped
        {-100, 0.5f, -99.995f, false, -100}, // past the minimum: clamped
        {-4.5f, 50, -4.2f, false, -4.5f},
        {-10, 5, -0.04f, true, 0},
        {-10, 100, -0.5f, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "[" << c.minimum << ", " << c.maximum << "] from "
                                        << c.start << (c.up ? " up" : " down"));
        SliderRow row({{"min", c.minimum}, {"max", c.maximum}}, double(c.start));
        c.up ? row.cell->incrementValue() : row.cell->decrementValue();
        EXPECT_EQ(row.slider()->value(), c.expected);
        ASSERT_EQ(row.controller.writes.size(), 1);
        EXPECT_EQ(row.controller.writes.first().toDouble(), double(c.expected));
        EXPECT_EQ(std::signbit(row.controller.writes.first().toDouble()), std::signbit(c.expected));
        EXPECT_EQ(row.readout(), QString::number(double(c.expected), 'f', 2));
    }
    // Another program changed the value since the row showed it: the step starts from that,
    // not from the row's old view, which would write over the change.
    SliderRow row({}, 2.0);
    row.controller.stored.insert("v", 5.0);
    row.cell->incrementValue();
    ASSERT_EQ(row.controller.writes.size(), 1);
    EXPECT_EQ(row.controller.writes.first().toDouble(), double(5.1f));
}

// What the read-out shows first, whatever the file holds there; even under a decimal comma.
TEST(QEVSliderCellStep, FirstReadOutIsTheStoredValueReadAsANumber) {
    LocaleScope comma(LocaleScope::DecimalComma{});
    const struct {
        QVariant stored;
        QString shown;
    } cases[] = {{2.5, "2.50"},  {QVariant(), "0.00"},      {"3.25", "3.25"},       {"x", "0.00"},
                 {true, "1.00"}, {QVariantList{1}, "0.00"}, {double(-0.0f), "0.00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        SliderRow row({{"min", -5}}, c.stored);
        EXPECT_EQ(row.readout(), c.shown);
    }
}

// A typed value, read with either decimal mark (and the locale's own), clamped into the range
// at the end it passed, never stored as inf, nan or -0.
TEST(QEVSliderCellEntry, StoresTheTypedNumberClamped) {
    struct Case {
        bool comma;
        float minimum, maximum;
        const char* text;
        float stored;
    } const cases[] = {
        {false, 0, 50, "", 0},
        {false, 0, 50, "abc", 0},
        {false, 0, 50, "12.5abc", 12.5f},
        {false, 0, 50, "  7.25", 7.25f},
        {false, 0, 50, "1,5", 1.5f},
        {false, 0, 50, "80", 50},
        {false, 5, 50, "-7", 5},
        {false, 0, 50, "1e999", 50},
        {false, -10, 50, "-1e999", -10},
        {false, 0, 50, "nan", 0},
        {false, -10, 5, "-0.000", 0},
        {false, 0, 50, "2.5e1", 25},
        {true, 0, 50, "2,5", 2.5f},
        {true, 0, 50, "1,5,5", 1.5f},
        {true, 0, 50, ",5", 0.5f},
        {true, 0, 50, "2.5", 2.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "[" << c.minimum << ", " << c.maximum << "] \"" << c.text
                                        << (c.comma ? "\" decimal comma" : "\""));
        std::optional<LocaleScope> comma;
        if (c.comma)
            comma.emplace(LocaleScope::DecimalComma{});
        SliderRow row({{"min", c.minimum}, {"max", c.maximum}}, 20.0);
        ASSERT_TRUE(row.typeAndConfirm(QString::fromUtf8(c.text)));
        ASSERT_EQ(row.controller.writes.size(), 1);
        EXPECT_EQ(row.controller.writes.first().toDouble(), double(c.stored));
        EXPECT_EQ(std::signbit(row.controller.writes.first().toDouble()), std::signbit(c.stored));
        // The read-out stays in the platform's notation whatever the locale.
        EXPECT_EQ(row.readout(), QString::number(double(c.stored), 'f', 2));
    }
}

TEST(QEVSliderCellEntry, WithoutAViewControllerTheKeyWindowsRootPresents) {
    SliderRow row({{"max", 50}}, 12.0, /*inPane=*/false);
    ASSERT_EQ(UIViewController::viewControllerForView(row.cell), nullptr);
    EXPECT_TRUE(row.typeAndConfirm("3", row.rootController));
    EXPECT_EQ(row.controller.writes, QVariantList{3.0});
}

TEST(QEVSliderCellEntry, ARowGoneBeforeConfirmStoresNothing) {
    SliderRow row({{"max", 50}}, 12.0);
    auto* alert = RowScreen<QEVSliderCell>::tapForAlert(row.cell->valueLabel(), row.pane);
    ASSERT_NE(alert, nullptr);
    alert->textFields().first()->setText("40");
    delete row.cell;
    row.cell = nullptr;
    alert->triggerAction(alert->actions().first());
    EXPECT_TRUE(row.controller.writes.isEmpty());
}

// A long press whose state the test sets, to drive the cell's hold handlers.
class ScriptedLongPress : public UILongPressGestureRecognizer {
public:
    ScriptedLongPress() : UILongPressGestureRecognizer({}) {}
    void set(UIGestureRecognizerState state) { setState(state); }
};

// A hold repeats from Began until Ended or Cancelled; the states between change nothing.
TEST(QEVSliderCellHold, TheTimerFollowsTheRecognizerState) {
    SliderRow row({}, 5.0);
    ScriptedLongPress press;
    const struct {
        UIGestureRecognizerState state;
        bool running;
    } script[] = {
        {UIGestureRecognizerStatePossible, false}, {UIGestureRecognizerStateBegan, true},
        {UIGestureRecognizerStateChanged, true},   {UIGestureRecognizerStateFailed, true},
        {UIGestureRecognizerStateEnded, false},    {UIGestureRecognizerStateBegan, true},
        {UIGestureRecognizerStateBegan, true},     {UIGestureRecognizerStateCancelled, false}};
    for (const auto& step : script) {
        SCOPED_TRACE(int(step.state));
        press.set(step.state);
        row.cell->handlePlusLongPress(&press);
        row.cell->handleMinusLongPress(&press);
        EXPECT_EQ(row.cell->incrementTimer() != nullptr, step.running);
        EXPECT_EQ(row.cell->decrementTimer() != nullptr, step.running);
    }
    row.cell->handlePlusLongPress(nullptr); // nothing to read: nothing happens
    const int written = int(row.controller.writes.size());
    QTest::qWait(3 * QEVSliderCell::kTickMilliseconds);
    EXPECT_EQ(row.controller.writes.size(), written) << "a stopped hold still steps";
}

} // namespace
