#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A button with a long-press recognizer that logs every state its action hears.
struct HeldButton {
    QWidget window;
    QPushButton* button = new QPushButton("+", &window);
    QList<int> states;
    QPointer<UILongPressGestureRecognizer> recognizer;
    int clicks = 0;

    explicit HeldButton(double duration = 0.5) {
        window.resize(200, 100);
        button->setGeometry(10, 10, 60, 40);
        recognizer = new UILongPressGestureRecognizer(
            [this](UILongPressGestureRecognizer* r) { states.append(r->state()); });
        recognizer->setMinimumPressDuration(duration);
        recognizer->attachTo(button);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        window.show();
    }
    void waitPast(double seconds) { QTest::qWait(int(seconds * 1000) + 150); }
};

const QPoint kInside(30, 20);

} // namespace

TEST(UILongPressGestureRecognizer, DefaultsToHalfASecondAndBelongsToItsView) {
    HeldButton held;
    UILongPressGestureRecognizer fresh(nullptr);
    EXPECT_DOUBLE_EQ(fresh.minimumPressDuration(), 0.5);
    EXPECT_EQ(held.recognizer->view(), held.button);
    EXPECT_EQ(held.recognizer->parent(), held.button);
    EXPECT_EQ(held.recognizer->state(), UIGestureRecognizerStatePossible);
}

TEST(UILongPressGestureRecognizer, ShortTapClicksOnceAndBeginsNothing) {
    HeldButton held;
    QTest::mouseClick(held.button, Qt::LeftButton, {}, kInside);
    held.waitPast(0.5);
    EXPECT_EQ(held.clicks, 1);
    EXPECT_TRUE(held.states.isEmpty());
}

TEST(UILongPressGestureRecognizer, HoldBeginsThenEndsWithoutAClick) {
    HeldButton held(0.2);
    QTest::mousePress(held.button, Qt::LeftButton, {}, kInside);
    held.waitPast(0.2);
    EXPECT_EQ(held.states, QList<int>({UIGestureRecognizerStateBegan}));
    EXPECT_FALSE(held.button->isDown()) << "the touch now belongs to the gesture";
    QTest::mouseMove(held.button, kInside + QPoint(3, 0));
    QTest::mouseRelease(held.button, Qt::LeftButton, {}, kInside + QPoint(3, 0));
    EXPECT_EQ(held.states,
              QList<int>({UIGestureRecognizerStateBegan, UIGestureRecognizerStateChanged,
                          UIGestureRecognizerStateEnded}));
    EXPECT_EQ(held.clicks, 0);
    EXPECT_EQ(held.recognizer->state(), UIGestureRecognizerStatePossible);

    // The next short tap is an ordinary click again.
    QTest::mouseClick(held.button, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(held.clicks, 1);
}

TEST(UILongPressGestureRecognizer, MovingAwayBeforeTheDurationFails) {
    HeldButton held(0.2);
    QTest::mousePress(held.button, Qt::LeftButton, {}, kInside);
    QTest::mouseMove(held.button, kInside + QPoint(20, 0));
    held.waitPast(0.2);
    QTest::mouseRelease(held.button, Qt::LeftButton, {}, kInside + QPoint(20, 0));
    EXPECT_TRUE(held.states.isEmpty());
}

TEST(UILongPressGestureRecognizer, HidingTheViewWhileHeldCancels) {
    HeldButton held(0.2);
    QTest::mousePress(held.button, Qt::LeftButton, {}, kInside);
    held.waitPast(0.2);
    held.button->hide();
    EXPECT_EQ(held.states,
              QList<int>({UIGestureRecognizerStateBegan, UIGestureRecognizerStateCancelled}));
}

TEST(UITapGestureRecognizer, CountsTapsAndIgnoresDrags) {
    struct Case {
        const char* what;
        int required;
        std::function<void(QLabel*)> gesture;
        int fired;
    };
    const QPoint at(20, 10);
    const std::vector<Case> cases = {
        {"one tap", 1, [&](QLabel* l) { QTest::mouseClick(l, Qt::LeftButton, {}, at); }, 1},
        {"two separate taps", 1,
         [&](QLabel* l) {
             QTest::mouseClick(l, Qt::LeftButton, {}, at);
             QTest::mouseClick(l, Qt::LeftButton, {}, at);
         },
         2},
        {"a drag is no tap", 1,
         [&](QLabel* l) {
             QTest::mousePress(l, Qt::LeftButton, {}, at);
             QTest::mouseRelease(l, Qt::LeftButton, {}, at + QPoint(30, 0));
         },
         0},
        {"right button", 1, [&](QLabel* l) { QTest::mouseClick(l, Qt::RightButton, {}, at); }, 0},
        {"one tap of two", 2, [&](QLabel* l) { QTest::mouseClick(l, Qt::LeftButton, {}, at); }, 0},
        {"double tap", 2,
         [&](QLabel* l) { // as a mouse sends it: press, release, double-click, release
             QTest::mouseClick(l, Qt::LeftButton, {}, at);
             QTest::mouseDClick(l, Qt::LeftButton, {}, at);
             QTest::mouseRelease(l, Qt::LeftButton, {}, at);
         },
         1},
    };
    for (const Case& c : cases) {
        QLabel label("0.00");
        label.resize(80, 30);
        label.show();
        int fired = 0;
        auto* tap = new UITapGestureRecognizer([&](UITapGestureRecognizer* r) {
            EXPECT_EQ(r->state(), UIGestureRecognizerStateEnded);
            ++fired;
        });
        tap->setNumberOfTapsRequired(c.required);
        tap->attachTo(&label);
        c.gesture(&label);
        EXPECT_EQ(fired, c.fired) << c.what;
    }
}
