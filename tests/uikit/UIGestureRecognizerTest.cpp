#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Plays a script of pointer steps on `w`, one letter a step: p press, r release, c click,
// R right click, d double click (as a mouse sends it, after a press and release of its
// own), m move 3 points, a move 20 points away, h hold past 0.2 s, x hide the widget.
void play(QWidget* w, const char* script) {
    using Step = std::function<void(QWidget*, QPoint&)>;
    const QHash<char, Step> steps{
        {'p', [](QWidget* w, QPoint& at) { QTest::mousePress(w, Qt::LeftButton, {}, at); }},
        {'r', [](QWidget* w, QPoint& at) { QTest::mouseRelease(w, Qt::LeftButton, {}, at); }},
        {'c', [](QWidget* w, QPoint& at) { QTest::mouseClick(w, Qt::LeftButton, {}, at); }},
        {'R', [](QWidget* w, QPoint& at) { QTest::mouseClick(w, Qt::RightButton, {}, at); }},
        {'d', [](QWidget* w, QPoint& at) { QTest::mouseDClick(w, Qt::LeftButton, {}, at); }},
        {'m', [](QWidget* w, QPoint& at) { QTest::mouseMove(w, at += QPoint(3, 0)); }},
        {'a', [](QWidget* w, QPoint& at) { QTest::mouseMove(w, at += QPoint(20, 0)); }},
        {'h', [](QWidget*, QPoint&) { QTest::qWait(350); }},
        {'x', [](QWidget* w, QPoint&) { w->hide(); }},
    };
    QPoint at(30, 20);
    for (const char* step = script; *step; ++step)
        steps.value (*step)(w, at);
}

} // namespace

// A long press of 0.2 s on a button: the states its action hears and the clicks the button
// still gives.
TEST(UILongPressGestureRecognizer, ScriptsGiveTheirStatesAndClicks) {
    const int began = UIGestureRecognizerStateBegan, changed = UIGestureRecognizerStateChanged,
              ended = UIGestureRecognizerStateEnded, cancelled = UIGestureRecognizerStateCancelled;
    const struct {
        const char* script;
        QList<int> states;
        int clicks;
    } cases[] = {
        {"ch", {}, 1},                         // a short tap is a click, no gesture
        {"phmrc", {began, changed, ended}, 1}, // a hold takes the touch; then a plain click
        {"pahr", {}, 1},                       // moving before the time fails: a plain click
        {"phx", {began, cancelled}, 0},        // hiding the button while held cancels
    };
    for (const auto& c : cases) {
        QWidget window;
        window.resize(200, 100);
        auto* button = new QPushButton("+", &window);
        button->setGeometry(10, 10, 60, 40);
        QList<int> states;
        auto* recognizer = new UILongPressGestureRecognizer(
            [&](UILongPressGestureRecognizer* r) { states.append(r->state()); });
        recognizer->setMinimumPressDuration(0.2);
        recognizer->attachTo(button);
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
        window.show();
        play(button, c.script);
        EXPECT_EQ(states, c.states) << c.script;
        EXPECT_EQ(clicks, c.clicks) << c.script;
    }
}

TEST(UITapGestureRecognizer, CountsTapsAndIgnoresDrags) {
    const struct {
        const char* script;
        int required;
        int fired;
    } cases[] = {{"c", 1, 1}, {"cc", 1, 2}, {"par", 1, 0}, {"R", 1, 0}, {"c", 2, 0}, {"cdr", 2, 1}};
    for (const auto& c : cases) {
        QWidget label;
        label.resize(80, 30);
        label.show();
        int fired = 0;
        auto* tap = new UITapGestureRecognizer([&](UITapGestureRecognizer* r) {
            EXPECT_EQ(r->state(), UIGestureRecognizerStateEnded);
            ++fired;
        });
        tap->setNumberOfTapsRequired(c.required);
        tap->attachTo(&label);
        play(&label, c.script);
        EXPECT_EQ(fired, c.fired) << c.script << " of " << c.required;
    }
}
