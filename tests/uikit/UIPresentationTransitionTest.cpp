#include "UIKitTestSupport.h"

#include "common/Eventually.h"
#include "common/TestName.h"

#include "uikit/PresentationEffect.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIPopoverPresentationController.h"
#include "uikit/UIPresentationController.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

namespace {

constexpr int kLongest = UIPresentationController::kAlertAppearMilliseconds;

enum class Kind { Alert, Popover, Sheet };

std::string nameOf(Kind kind) {
    return kind == Kind::Alert ? "alert" : kind == Kind::Popover ? "popover" : "sheet";
}

// A window with a button that has the keyboard, and a controller to present over it.
struct Stage {
    UIWindow window;
    UIViewController* root = new UIViewController(&window);
    QPushButton* below = new QPushButton("below", root->view());
    UIViewController* shown = nullptr;

    explicit Stage(Kind kind) {
        window.setRootViewController(root);
        window.resize(kind == Kind::Popover ? 900 : 390, 700); // a narrow one makes a sheet
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        below->setGeometry(root->view()->rect());
        below->setFocus();
        if (kind == Kind::Alert) {
            auto* alert =
                UIAlertController::alertControllerWithTitle("t", "m", UIAlertControllerStyleAlert);
            alert->addAction(UIAlertAction::actionWithTitle("OK", UIAlertActionStyleCancel));
            alert->setParent(root);
            shown = alert;
        } else {
            shown = new UIViewController(root);
            shown->setModalPresentationStyle(UIModalPresentationStyle::Popover);
            shown->setPreferredContentSize(QSize(200, 130));
            shown->popoverPresentationController()->setSourceView(below);
        }
    }
    void present() { root->presentViewController(shown, true); }
    void dismiss() { shown->dismissViewControllerAnimated(true); }
    QList<UIDimmingView*> layers() const { return window.findChildren<UIDimmingView*>(); }
    int effects() const {
        int count = 0;
        for (QWidget* w : window.findChildren<QWidget*>())
            count += qobject_cast<PresentationEffect*>(w->graphicsEffect()) != nullptr;
        return count;
    }
    int transitions() const { return int(window.findChildren<QVariantAnimation*>().size()); }
};

struct Sequence {
    const char* name;
    std::function<void(Stage&)> run;
    bool presented; // at the end
};

const Sequence kSequences[] = {
    {"present", [](Stage& s) { s.present(); }, true},
    {"dismiss_during_appearance",
     [](Stage& s) {
         s.present();
         QTest::qWait(kLongest / 3);
         s.dismiss();
     },
     false},
    {"dismiss_at_once", [](Stage& s) { s.present(), s.dismiss(); }, false},
    {"dismiss_twice",
     [](Stage& s) {
         s.present();
         QTest::qWait(kLongest + 50);
         s.dismiss();
         s.dismiss();
     },
     false},
    {"present_again_while_fading_out",
     [](Stage& s) {
         s.present();
         QTest::qWait(kLongest + 50);
         s.dismiss();
         QTest::qWait(UIPresentationController::kFadeMilliseconds / 3);
         s.present();
     },
     true},
};

struct TransitionCase {
    Kind kind;
    Sequence sequence;
};

void PrintTo(const TransitionCase& c, std::ostream* os) {
    *os << nameOf(c.kind) << " " << c.sequence.name;
}

class UIPresentationTransition : public testing::TestWithParam<TransitionCase> {};

// However requests follow each other, the last one decides, and once nothing moves any more
// exactly what it asked for is left: one layer at full strength with its content drawn plainly,
// or no layer and the view back in the window, hidden; no effect and no animation remains.
TEST_P(UIPresentationTransition, EndsInTheLastRequestedStateWithNothingLeftBehind) {
    const TransitionCase& c = GetParam();
    Stage stage(c.kind);
    c.sequence.run(stage);
    ASSERT_TRUE(eventually([&] { return stage.transitions() == 0; }, "the transitions ended",
                           kLongest + 500));
    EXPECT_EQ(stage.effects(), 0);
    EXPECT_EQ(stage.root->presentedViewController() == stage.shown, c.sequence.presented);
    const QList<UIDimmingView*> layers = stage.layers();
    ASSERT_EQ(layers.size(), c.sequence.presented ? 1 : 0);
    EXPECT_EQ(stage.shown->view()->isVisible(), c.sequence.presented);
    if (c.sequence.presented) {
        EXPECT_EQ(layers.first()->level(), 1.0);
        EXPECT_FALSE(layers.first()->testAttribute(Qt::WA_TransparentForMouseEvents));
    } else {
        EXPECT_EQ(stage.shown->view()->parentWidget(), &stage.window);
        EXPECT_EQ(QApplication::focusWidget(), stage.below) << "the keyboard went back";
    }
}

std::vector<TransitionCase> allCases() {
    std::vector<TransitionCase> cases;
    for (const Kind kind : {Kind::Alert, Kind::Popover, Kind::Sheet})
        for (const Sequence& sequence : kSequences)
            cases.push_back({kind, sequence});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Sequences, UIPresentationTransition, testing::ValuesIn(allCases()),
                         [](const auto& info) {
                             return testName(nameOf(info.param.kind) + "_" +
                                             info.param.sequence.name);
                         });

// On the way in the content is live and only drawn faded (an alert also larger); on the way out
// what is left is a picture: clicks go through it and the keyboard is back below. A dismissal
// during the appearance fades out from where it got to.
TEST(UIPresentationTransitionLook, InIsLiveOutIsAPictureFromWhereItGotTo) {
    for (const Kind kind : {Kind::Alert, Kind::Popover}) {
        SCOPED_TRACE(nameOf(kind));
        Stage stage(kind);
        int clicks = 0;
        QObject::connect(stage.below, &QPushButton::clicked, [&] { ++clicks; });
        stage.present();
        QTest::qWait(kLongest / 4);
        UIDimmingView* layer = stage.layers().value(0);
        ASSERT_NE(layer, nullptr);
        QWidget* content = layer->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).value(0);
        auto* effect = qobject_cast<PresentationEffect*>(content->graphicsEffect());
        ASSERT_NE(effect, nullptr);
        EXPECT_GT(effect->opacity(), 0.0);
        EXPECT_LT(effect->opacity(), 1.0);
        EXPECT_EQ(effect->scale() > 1.0, kind == Kind::Alert);
        EXPECT_TRUE(layer->isAncestorOf(QApplication::focusWidget()));
        const qreal reached = layer->level();

        stage.dismiss();
        EXPECT_LE(layer->level(), reached + 1e-9) << "the fade jumped back to full";
        EXPECT_EQ(QApplication::focusWidget(), stage.below);
        QTest::mouseClick(stage.window.windowHandle(), Qt::LeftButton, {}, QPoint(100, 300));
        EXPECT_EQ(clicks, 1) << "the fading layer took the click";
        QTest::keyClick(stage.window.windowHandle(), Qt::Key_Tab);
        EXPECT_FALSE(layer->isAncestorOf(QApplication::focusWidget()) ||
                     QApplication::focusWidget() == layer);
    }
}

} // namespace
