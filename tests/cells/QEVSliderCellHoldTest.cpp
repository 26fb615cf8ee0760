#include "QEVSliderCellTestSupport.h"

#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(QEVSliderCellHold, ATapStepsOnceOnRelease) {
    SliderRowScreen row({{"min", 0}, {"max", 100}}, 5.0);
    QTest::mousePress(row.cell->plusButton(), Qt::LeftButton);
    EXPECT_TRUE(row.controller.writes.isEmpty());
    QTest::mouseRelease(row.cell->plusButton(), Qt::LeftButton);
    EXPECT_EQ(row.controller.writes.size(), 1);
    EXPECT_EQ(row.slider()->value(), 6.0f);
    QTest::mouseClick(row.cell->minusButton(), Qt::LeftButton);
    EXPECT_EQ(row.controller.writes.size(), 2);
    EXPECT_EQ(row.slider()->value(), 5.0f);
    EXPECT_EQ(row.cell->incrementTimer(), nullptr);
    EXPECT_EQ(row.cell->decrementTimer(), nullptr);
}

TEST(QEVSliderCellHold, RecognizersKeepThePlatformDefaults) {
    SliderRowScreen row({}, 5.0);
    for (QPushButton* button : {row.cell->plusButton(), row.cell->minusButton()}) {
        UILongPressGestureRecognizer* press = longPressOf(button);
        ASSERT_NE(press, nullptr);
        EXPECT_EQ(press->view(), button);
        EXPECT_DOUBLE_EQ(press->minimumPressDuration(), 0.5);
    }
}

// A real hold on each button, with the long press shortened so the test stays quick: a step
// per tick once the press has begun, the first a tick after it, and nothing on release.
TEST(QEVSliderCellHold, AHoldStepsEveryTickAndNotOnRelease) {
    for (const bool plus : {true, false}) {
        SCOPED_TRACE(plus ? "plus" : "minus");
        SliderRowScreen row({{"min", 0}, {"max", 100}}, 50.0);
        QPushButton* button = plus ? row.cell->plusButton() : row.cell->minusButton();
        longPressOf(button)->setMinimumPressDuration(0.02);
        const auto timer = [&] {
            return plus ? row.cell->incrementTimer() : row.cell->decrementTimer();
        };

        QTest::mousePress(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(timer() != nullptr, 2000);
        EXPECT_TRUE(row.controller.writes.isEmpty()); // the first step waits one tick
        EXPECT_EQ(timer()->interval(), 100);
        EXPECT_FALSE(timer()->isSingleShot());
        QTRY_COMPARE_WITH_TIMEOUT(row.controller.writes.size(), 2, 2000);
        const float held = row.slider()->value();
        EXPECT_EQ(held, plus ? 52.0f : 48.0f);

        QTest::mouseRelease(button, Qt::LeftButton);
        EXPECT_EQ(timer(), nullptr);
        const qsizetype steps = row.controller.writes.size();
        QTest::qWait(150); // longer than a tick: nothing more comes
        EXPECT_EQ(row.controller.writes.size(), steps);
        EXPECT_FLOAT_EQ(row.slider()->value(), plus ? 50.0f + steps : 50.0f - steps);
    }
}

TEST(QEVSliderCellHold, HandlersFollowTheRecognizerState) {
    SliderRowScreen row({}, 5.0);
    ScriptedLongPress press;
    struct {
        UIGestureRecognizerState state;
        bool runningAfter;
    } const script[] = {
        {UIGestureRecognizerStatePossible, false}, {UIGestureRecognizerStateBegan, true},
        {UIGestureRecognizerStateChanged, true},   {UIGestureRecognizerStateFailed, true},
        {UIGestureRecognizerStateEnded, false},    {UIGestureRecognizerStateBegan, true},
        {UIGestureRecognizerStateCancelled, false}};
    for (const auto& step : script) {
        SCOPED_TRACE(int(step.state));
        press.set(step.state);
        row.cell->handlePlusLongPress(&press);
        row.cell->handleMinusLongPress(&press);
        EXPECT_EQ(row.cell->incrementTimer() != nullptr, step.runningAfter);
        EXPECT_EQ(row.cell->decrementTimer() != nullptr, step.runningAfter);
    }
    row.cell->handlePlusLongPress(nullptr); // nothing to read: nothing happens
}

TEST(QEVSliderCellHold, ANewBeganReplacesTheRunningTimer) {
    SliderRowScreen row({}, 5.0);
    row.cell->startIncrementTimer();
    const QPointer<QTimer> first = row.cell->incrementTimer();
    row.cell->startIncrementTimer();
    ASSERT_NE(row.cell->incrementTimer(), nullptr);
    EXPECT_NE(row.cell->incrementTimer(), first.data());
    EXPECT_TRUE(!first || !first->isActive());
    EXPECT_TRUE(row.cell->incrementTimer()->isActive());
    row.cell->stopIncrementTimer();
    row.cell->stopIncrementTimer(); // stopping an idle direction is harmless
    EXPECT_EQ(row.cell->incrementTimer(), nullptr);
}

TEST(QEVSliderCellHold, DirectionsAreIndependent) {
    SliderRowScreen row({}, 5.0);
    row.cell->startIncrementTimer();
    row.cell->startDecrementTimer();
    QTimer* down = row.cell->decrementTimer();
    row.cell->startIncrementTimer();
    EXPECT_EQ(row.cell->decrementTimer(), down);
    row.cell->stopIncrementTimer();
    ASSERT_NE(row.cell->decrementTimer(), nullptr);
    EXPECT_TRUE(row.cell->decrementTimer()->isActive());
    row.cell->stopDecrementTimer();
}

TEST(QEVSliderCellHold, ATimerDiesWithItsCell) {
    SliderRowScreen row({}, 5.0);
    row.cell->startIncrementTimer();
    const QPointer<QTimer> timer = row.cell->incrementTimer();
    delete row.cell;
    row.cell = nullptr;
    EXPECT_TRUE(timer.isNull());
    QTest::qWait(120);
    EXPECT_TRUE(row.controller.writes.isEmpty());
}

// ---- the read-out and its tick ----------------------------------------------------------

struct TickCase {
    float last;
    float value;
    bool tick;
};

class QEVSliderCellTick : public testing::TestWithParam<TickCase> {};

TEST_P(QEVSliderCellTick, TicksWhenTheValueMovedFromTheLastRefresh) {
    const TickCase& c = GetParam();
    SliderRowScreen row({{"min", -5}, {"max", 10}}, 0.0);
    const int ticks = row.feedback()->selectionChangedCount();
    const int prepared = row.feedback()->prepareCount();
    QEVSliderCell::lastFeedbackValue = c.last;
    row.slider()->setValue(c.value);
    row.cell->sliderValueChanged(row.slider());
    EXPECT_EQ(row.feedback()->selectionChangedCount() - ticks, c.tick ? 1 : 0);
    EXPECT_EQ(row.feedback()->prepareCount() - prepared, c.tick ? 1 : 0);
    EXPECT_EQ(QEVSliderCell::lastFeedbackValue, c.value);
}

INSTANTIATE_TEST_SUITE_P(Values, QEVSliderCellTick,
                         testing::Values(TickCase{-1, 0, true},        // first refresh
                                         TickCase{-1, -0.995f, false}, // within 0.009 of -1
                                         TickCase{3, 3, false}, TickCase{3, 3.005f, false},
                                         TickCase{3, 3.01f, true}, TickCase{3, 2.99f, true},
                                         TickCase{0.2f, 0.19f, true}));

TEST(QEVSliderCellTick, EachRowPreparesItsGeneratorOnce) {
    SliderRowScreen row({}, 1.0);
    EXPECT_EQ(row.feedback()->prepareCount(), 1);
    EXPECT_EQ(row.feedback()->selectionChangedCount(), 0);
    EXPECT_EQ(row.feedback()->parent(), row.cell);
}

TEST(QEVSliderCellTick, RowsShareTheLastFeedbackValue) {
    SliderRowScreen a({{"min", 0}, {"max", 10}}, 3.0);
    SliderRowScreen b({{"min", 0}, {"max", 10}}, 8.0);
    a.cell->sliderValueChanged(a.slider());
    EXPECT_EQ(QEVSliderCell::lastFeedbackValue, 3.0f);
    const int ticks = b.feedback()->selectionChangedCount();
    b.slider()->setValue(3.005f);
    b.cell->sliderValueChanged(b.slider());
    EXPECT_EQ(b.feedback()->selectionChangedCount(), ticks); // B was at 8; A's refresh counts
    EXPECT_EQ(QEVSliderCell::lastFeedbackValue, 3.005f);
}

TEST(QEVSliderCellTick, AStepAtTheMaximumStoresAgainWithoutATick) {
    SliderRowScreen row({{"min", 0}, {"max", 10}}, 10.0);
    row.cell->sliderValueChanged(row.slider());
    const int ticks = row.feedback()->selectionChangedCount();
    row.cell->incrementValue();
    EXPECT_EQ(row.controller.writes.size(), 1);
    EXPECT_EQ(row.readout(), "10.00");
    EXPECT_EQ(row.feedback()->selectionChangedCount(), ticks);
    row.cell->decrementValue(); // a tenth: a tick
    EXPECT_EQ(row.feedback()->selectionChangedCount(), ticks + 1);
}

TEST(QEVSliderCellTick, TheSliderDrivesTheReadOutOnAllThreeEvents) {
    SliderRowScreen row({{"min", 0}, {"max", 10}}, 1.0);
    const struct {
        void (UISlider::*signal)();
        float value;
    } events[] = {{&UISlider::touchDragInside, 2.5f},
                  {&UISlider::touchDragOutside, 3.25f},
                  {&UISlider::valueChanged, 7.5f}};
    for (const auto& e : events) {
        row.slider()->setValue(e.value);
        (row.slider()->*e.signal)();
        EXPECT_EQ(row.readout(), QString::number(double(e.value), 'f', 2));
        EXPECT_EQ(QEVSliderCell::lastFeedbackValue, e.value);
    }
}

TEST(QEVSliderCellTick, ADragIsFollowedByTheReadOutAndStoredByTheHost) {
    SliderRowScreen row({{"min", 0}, {"max", 10}}, 2.0);
    row.cell->grab(); // lays the row out
    UISlider* slider = row.slider();
    const QPoint from = slider->thumbRect().center().toPoint();
    const QPoint to = slider->pointForValue(7.0f).toPoint();
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    QTest::mouseMove(slider, QPoint((from.x() + to.x()) / 2, from.y()));
    QTest::mouseMove(slider, to);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
    EXPECT_GT(slider->value(), 5.0f);
    EXPECT_EQ(row.readout(), QString::number(double(slider->value()), 'f', 2));
    EXPECT_EQ(QEVSliderCell::lastFeedbackValue, slider->value());
    ASSERT_FALSE(row.controller.writes.isEmpty());
    EXPECT_FLOAT_EQ(row.lastStored(), slider->value());
}

TEST(QEVSliderCellTick, AReplacedGeneratorTicksInstead) {
    SliderRowScreen row({}, 1.0);
    auto* own = new UISelectionFeedbackGenerator;
    row.cell->setFeedbackGenerator(own);
    EXPECT_EQ(row.cell->feedbackGenerator(), own);
    EXPECT_EQ(own->parent(), row.cell); // the cell keeps it
    QEVSliderCell::lastFeedbackValue = -1;
    row.cell->sliderValueChanged(row.slider());
    EXPECT_EQ(own->selectionChangedCount(), 1);
    row.cell->setFeedbackGenerator(nullptr);
    QEVSliderCell::lastFeedbackValue = -1;
    row.cell->sliderValueChanged(row.slider()); // no generator: the read-out still follows
    EXPECT_EQ(QEVSliderCell::lastFeedbackValue, 1.0f);
}

} // namespace
