#include "QEVSliderCellTestSupport.h"

#include "cells/QEVSliderStep.h"

#include <gtest/gtest.h>

namespace {

struct StepCase {
    float maximum;
    float value;
    float up;
    float down;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << "max " << c.maximum << ", value " << c.value;
}

class QEVSliderCellStepRule : public testing::TestWithParam<StepCase> {};

TEST_P(QEVSliderCellStepRule, StepsUpAndDown) {
    const StepCase& c = GetParam();
    EXPECT_FLOAT_EQ(QEVSliderStep::up(c.value, c.maximum), c.up);
    EXPECT_FLOAT_EQ(QEVSliderStep::down(c.value, c.maximum), c.down);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, QEVSliderCellStepRule,
    testing::Values(
        // Up to 10: the next tenth in the step's direction, or a whole tenth from one.
        StepCase{10, 0.35f, 0.4f, 0.3f}, StepCase{10, 0.4f, 0.5f, 0.3f},
        StepCase{10, 9.95f, 10.0f, 9.9f}, StepCase{10, -0.25f, -0.2f, -0.3f},
        // Above 10: whole numbers.
        StepCase{100, 2.5f, 3, 2}, StepCase{100, 3, 4, 2}, StepCase{100, -2.5f, -2, -3},
        // Up to 1: a plain 0.01, no alignment.
        StepCase{1, 0.505f, 0.515f, 0.495f}, StepCase{0.5f, -50.0f, -49.99f, -50.01f},
        // The bounds are inclusive and only the maximum decides.
        StepCase{1.0f, 0.3f, 0.31f, 0.29f}, StepCase{1.0001f, 0.3f, 0.4f, 0.2f},
        StepCase{10.0f, 0.3f, 0.4f, 0.2f}, StepCase{10.0001f, 0.3f, 1.0f, 0.0f}));

TEST(QEVSliderCellStepRule, ArithmeticIsSinglePrecision) {
    // 0.505 + 0.01 in double would round to a different float than the float sum gives.
    EXPECT_EQ(QEVSliderStep::up(0.505f, 1), 0.505f + 0.01f);
    EXPECT_EQ(QEVSliderStep::up(0.35f, 10), 0.4f);
}

// Steps through the cell: the slider moves, the value is stored through the specifier as the
// single-precision number widened exactly, and the read-out follows.
struct CellStepCase {
    float minimum;
    float maximum;
    float start;
    bool up;
    float expected;
};

class QEVSliderCellStepping : public testing::TestWithParam<CellStepCase> {};

TEST_P(QEVSliderCellStepping, StoresEveryStepEvenAtABound) {
    const CellStepCase& c = GetParam();
    SliderRowScreen row({{"min", c.minimum}, {"max", c.maximum}}, c.start);
    ASSERT_FLOAT_EQ(row.slider()->value(), c.start);
    c.up ? row.cell->incrementValue() : row.cell->decrementValue();
    EXPECT_FLOAT_EQ(row.slider()->value(), c.expected);
    ASSERT_EQ(row.controller.writes.size(), 1);
    const QVariant stored = row.controller.writes.first();
    EXPECT_EQ(stored.typeId(), QMetaType::Double);
    // Exactly the float shown by the slider, not the nearest double to its decimal text.
    EXPECT_EQ(stored.toDouble(), double(row.slider()->value()));
    EXPECT_EQ(row.readout(), QString::number(double(c.expected), 'f', 2));
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, QEVSliderCellStepping,
    testing::Values(CellStepCase{0, 10, 0.35f, true, 0.4f},
                    CellStepCase{0, 10, 9.95f, true, 10}, // candidate lands on the maximum
                    CellStepCase{0, 10, 10, true, 10},    // at the maximum: stored again
                    CellStepCase{0, 1, 0, false, 0},      // at the minimum: stored again
                    CellStepCase{0, 1, 0.995f, true, 1},  // past the maximum: clamped
                    CellStepCase{-100, 0.5f, -99.995f, false, -100},
                    CellStepCase{-100, 0.5f, -3.0f, true, -2.99f},
                    CellStepCase{-4.5f, 50, -4.2f, false, -4.5f}));

TEST(QEVSliderCellStepping, ReadsTheRangeAtEachStep) {
    SliderRowScreen row({{"min", 0}, {"max", 100}}, 5.0);
    row.cell->incrementValue();
    EXPECT_EQ(row.slider()->value(), 6.0f);
    row.slider()->setMaximumValue(5.0f); // now the tenths rule and a lower ceiling
    row.slider()->setValue(4.95f);
    row.cell->incrementValue();
    EXPECT_EQ(row.slider()->value(), 5.0f);
    EXPECT_EQ(row.lastStored(), 5.0f);
}

TEST(QEVSliderCellStepping, ARowWithoutSpecifierStepsButStoresNothing) {
    QEVSliderCell cell(0, "QEVSliderCell", nullptr);
    cell.incrementValue();
    EXPECT_FLOAT_EQ(cell.control()->value(), 0.01f);
    EXPECT_EQ(cell.valueLabel()->text(), "0.01");
}

} // namespace
