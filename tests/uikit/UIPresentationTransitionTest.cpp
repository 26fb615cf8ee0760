#include "common/QtPrinters.h"
#include "uikit/UIWindow.h"

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
const char* const kKinds[] = {"alert", "popover", "sheet"};

// A window with a button that has the keyboard, and a controller to present over it.
struct Stage {
    UIWindow window;
    UIViewController* root = new UIViewController(&window);
    QPushButton* below = new QPushButton("below", root->view());
    UIViewController* shown = nullptr;

    explicit Stage(std::string_view kind) {
        window.setRootViewController(root);
        window.resize(kind == "popover" ? 900 : 390, 700); // a narrow one makes a sheet
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        below->setGeometry(root->view()->rect());
        below->setFocus();
        if (kind == "alert") {
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
};

struct Sequence {
    const char* name;
    void (*run)(Stage&);
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

class UIPresentationTransition : public testing::TestWithParam<std::tuple<const char*, Sequence>> {
};

// However requests follow each other, the last one decides, and once nothing moves any more
// exactly what it asked for is left: one layer at full strength with its content drawn plainly,
// or no layer and the view back in the window, hidden, with the keyboard back below.
TEST_P(UIPresentationTransition, EndsInTheLastRequestedStateWithNothingLeftBehind) {
    const auto& [kind, sequence] = GetParam();
    Stage stage(kind);
    sequence.run(stage);
    ASSERT_TRUE(
        eventually([&] { return stage.window.findChildren<QVariantAnimation*>().isEmpty(); },
                   "the transitions ended", kLongest + 500));
    for (QWidget* w : stage.window.findChildren<QWidget*>())
        EXPECT_EQ(qobject_cast<PresentationEffect*>(w->graphicsEffect()), nullptr);
    EXPECT_EQ(stage.root->presentedViewController() == stage.shown, sequence.presented);
    const QList<UIDimmingView*> layers = stage.window.findChildren<UIDimmingView*>();
    ASSERT_EQ(layers.size(), sequence.presented ? 1 : 0);
    EXPECT_EQ(stage.shown->view()->isVisible(), sequence.presented);
    if (sequence.presented) {
        EXPECT_EQ(layers.first()->level(), 1.0);
        EXPECT_FALSE(layers.first()->testAttribute(Qt::WA_TransparentForMouseEvents));
    } else {
        EXPECT_EQ(stage.shown->view()->parentWidget(), &stage.window);
        EXPECT_EQ(QApplication::focusWidget(), stage.below) << "the keyboard went back";
    }
}

INSTANTIATE_TEST_SUITE_P(Sequences, UIPresentationTransition,
                         testing::Combine(testing::ValuesIn(kKinds), testing::ValuesIn(kSequences)),
                         [](const auto& info) {
                             return testName(std::string(std::get<0>(info.param)) + "_" +
                                             std::get<1>(info.param).name);
                         });

} // namespace
