#include "UIKitTestSupport.h"

#include "uikit/AudioServices.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIFont.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIPopoverPresentationController.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FixedAnswer : public UIPopoverPresentationControllerDelegate {
public:
    explicit FixedAnswer(UIModalPresentationStyle answer) : _answer(answer) {}
    int asked = 0;
    UIModalPresentationStyle
    adaptivePresentationStyleForPresentationController(UIPresentationController*) override {
        ++asked;
        return _answer;
    }

private:
    UIModalPresentationStyle _answer;
};

// A window with a navigation bar whose only right item is a round 30-point button.
struct BarScreen {
    UIWindow window;
    UIViewController* pane = new UIViewController;
    UINavigationController* nav = new UINavigationController(pane, &window);
    QPushButton* button = new QPushButton;
    UIBarButtonItem* item = new UIBarButtonItem(button);

    explicit BarScreen(int width = 390) {
        button->setFixedSize(30, 30);
        pane->navigationItem()->setRightBarButtonItems({item});
        window.setRootViewController(nav);
        window.resize(width, 844);
        window.show();
    }
    QRect buttonRect() const { return QRect(button->mapTo(&window, QPoint(0, 0)), button->size()); }
};

// A popover controller that goes with `owner`.
UIViewController* confirmation(QObject* owner, QColor background = QColor(72, 97, 112)) {
    auto* vc = new UIViewController(owner);
    vc->setModalPresentationStyle(UIModalPresentationStyle::Popover);
    vc->setPreferredContentSize(QSize(200, 130));
    vc->popoverPresentationController()->setBackgroundColor(background);
    return vc;
}

} // namespace

TEST(UIPopoverPresentationController, ExistsOnlyForThePopoverStyle) {
    UIViewController vc;
    EXPECT_EQ(vc.popoverPresentationController(), nullptr);
    vc.setModalPresentationStyle(UIModalPresentationStyle::Popover);
    UIPopoverPresentationController* popover = vc.popoverPresentationController();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(vc.popoverPresentationController(), popover) << "kept while the style holds";
    EXPECT_EQ(popover->permittedArrowDirections(), UIPopoverArrowDirectionAny);
    vc.setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
    EXPECT_EQ(vc.popoverPresentationController(), nullptr);
}

TEST(UIPopoverPresentationController, HangsUnderTheBarButtonWithItsArrowUp) {
    BarScreen screen;
    FixedAnswer keep(UIModalPresentationStyle::None);
    AudioServices::clearPlayed();
    UIViewController* popController = confirmation(screen.pane);
    UIPopoverPresentationController* popover = popController->popoverPresentationController();
    popover->setDelegate(&keep);
    popover->setPermittedArrowDirections(UIPopoverArrowDirectionUp);
    popover->setBarButtonItem(screen.item);
    screen.pane->presentViewController(popController, true);

    EXPECT_EQ(keep.asked, 1) << "a 390-wide window is compact";
    ASSERT_TRUE(popover->isPresentedAsPopover());
    EXPECT_EQ(popover->arrowDirection(), UIPopoverArrowDirectionUp);
    const QRect anchor = screen.buttonRect();
    UIPopoverView* bubble = popover->popupWidget();
    EXPECT_EQ(bubble->arrowTip(), QPoint(anchor.center().x(), anchor.bottom() + 1));
    const QRect body = bubble->bodyGeometry();
    EXPECT_EQ(body.size(), QSize(200, 130));
    EXPECT_EQ(body.top(), anchor.bottom() + 1 + UIPopoverView::kArrowHeight);
    EXPECT_GE(body.left(), UIPopoverPresentationController::kScreenMargin);
    EXPECT_LE(body.right(), 390 - UIPopoverPresentationController::kScreenMargin);
    EXPECT_EQ(bubble->backgroundColor(), QColor(72, 97, 112));
    EXPECT_EQ(popController->view()->geometry().size(), QSize(200, 130));
    EXPECT_TRUE(AudioServices::playedSounds().isEmpty()) << "presenting plays nothing itself";
    EXPECT_EQ(screen.pane->presentedViewController(), popController);

    // It follows the button wherever a new window size lays the bar out.
    for (const int width : {768, 1200, 500}) {
        screen.window.resize(width, 844);
        QCoreApplication::processEvents();
        EXPECT_EQ(bubble->arrowTip(),
                  QPoint(screen.buttonRect().center().x(), screen.buttonRect().bottom() + 1))
            << width;
    }
}

TEST(UIPopoverPresentationController, AdaptsToTheWindowAndTheDelegatesAnswer) {
    struct Case {
        const char* what;
        int width;
        std::optional<UIModalPresentationStyle> answer;
        bool popover;
        bool asked;
    };
    const std::vector<Case> cases = {
        {"compact, no delegate: a sheet", 390, std::nullopt, false, false},
        {"compact, delegate None: stays", 390, UIModalPresentationStyle::None, true, true},
        {"compact, delegate FullScreen: a sheet", 390, UIModalPresentationStyle::FullScreen, false,
         true},
        {"regular width: a popover without asking", 900, UIModalPresentationStyle::FullScreen, true,
         false},
    };
    for (const Case& c : cases) {
        BarScreen screen(c.width);
        FixedAnswer answer(c.answer.value_or(UIModalPresentationStyle::None));
        UIViewController* vc = confirmation(screen.pane);
        UIPopoverPresentationController* popover = vc->popoverPresentationController();
        if (c.answer)
            popover->setDelegate(&answer);
        popover->setBarButtonItem(screen.item);
        screen.pane->presentViewController(vc, false);
        EXPECT_EQ(popover->isPresentedAsPopover(), c.popover) << c.what;
        EXPECT_EQ(answer.asked > 0, c.asked) << c.what;
        EXPECT_EQ(screen.pane->presentedViewController(), vc) << c.what;
        if (!c.popover)
            EXPECT_EQ(popover->layout(), UIPresentationController::Layout::Sheet) << c.what;
        screen.pane->dismissViewControllerAnimated(false);
        delete vc;
    }
}

TEST(UIPopoverPresentationController, SourceRectWithoutArrowSitsOverTheRect) {
    BarScreen screen(900);
    auto* cell = new QWidget(screen.pane->view());
    cell->setGeometry(16, 300, 358, 44);
    UIViewController* picker = confirmation(screen.pane, Qt::white);
    UIPopoverPresentationController* popover = picker->popoverPresentationController();
    popover->setSourceView(cell);
    popover->setSourceRect(cell->rect());
    popover->setPermittedArrowDirections(UIPopoverArrowDirectionUnknown);
    screen.pane->presentViewController(picker, false);
    ASSERT_TRUE(popover->isPresentedAsPopover());
    EXPECT_EQ(popover->arrowDirection(), UIPopoverArrowDirectionUnknown);
    const QRect source(cell->mapTo(&screen.window, QPoint(0, 0)), cell->size());
    EXPECT_EQ(popover->popupWidget()->bodyGeometry().center(), source.center());
}

TEST(UIPopoverPresentationController, TakesAnotherSideWhenThePermittedOneHasNoRoom) {
    BarScreen screen(900);
    auto* low = new QWidget(screen.pane->view());
    low->setGeometry(400, 700, 40, 40); // too low for a popover beneath it
    UIViewController* vc = confirmation(screen.pane);
    vc->setPreferredContentSize(QSize(200, 300));
    UIPopoverPresentationController* popover = vc->popoverPresentationController();
    popover->setSourceView(low);
    popover->setPermittedArrowDirections(UIPopoverArrowDirectionUp | UIPopoverArrowDirectionDown);
    screen.pane->presentViewController(vc, false);
    EXPECT_EQ(popover->arrowDirection(), UIPopoverArrowDirectionDown);
    const QRect anchor(low->mapTo(&screen.window, QPoint(0, 0)), low->size());
    EXPECT_EQ(popover->popupWidget()->bodyGeometry().bottom(),
              anchor.top() - 1 - UIPopoverView::kArrowHeight);
}

TEST(UIPopoverPresentationController, TapOutsideDismissesTapInsideDoesNot) {
    BarScreen screen;
    FixedAnswer keep(UIModalPresentationStyle::None);
    UIViewController* vc = confirmation(screen.pane);
    vc->popoverPresentationController()->setDelegate(&keep);
    vc->popoverPresentationController()->setBarButtonItem(screen.item);
    screen.pane->presentViewController(vc, false);
    UIDimmingView* layer = vc->popoverPresentationController()->containerView();
    ASSERT_NE(layer, nullptr);
    const QPoint inside =
        vc->popoverPresentationController()->popupWidget()->bodyGeometry().center();
    QTest::mouseClick(layer, Qt::LeftButton, {}, inside);
    EXPECT_EQ(screen.pane->presentedViewController(), vc);
    QTest::mouseClick(layer, Qt::LeftButton, {}, QPoint(30, 700));
    EXPECT_EQ(screen.pane->presentedViewController(), nullptr);
    EXPECT_EQ(vc->presentingViewController(), nullptr);
}

TEST(UIPopoverPresentationController, RendersLegibly) {
    BarScreen screen;
    screen.nav->navigationBar()->setTintColor(QColor(121, 145, 153));
    screen.button->setStyleSheet(
        "QPushButton { background: rgb(72,97,112); border-radius: 15px; color: white; }");
    screen.button->setText("✓");
    FixedAnswer keep(UIModalPresentationStyle::None);
    UIViewController* vc = confirmation(screen.pane);
    QWidget* content = vc->view();
    auto* question = new QLabel("您确定要执行 注销 操作吗？", content);
    question->setFont(UIFont::systemFontOfSize(15));
    question->setStyleSheet("color: white");
    question->setAlignment(Qt::AlignCenter);
    question->setWordWrap(true);
    question->setGeometry(10, 20, 180, 60);
    const QStringList answers = {"否", "是"};
    for (int i = 0; i < 2; ++i) {
        auto* answer = new QPushButton(answers[i], content);
        answer->setFlat(true);
        answer->setFont(UIFont::boldSystemFontOfSize(20));
        answer->setStyleSheet("color: rgb(121,145,153); border: none");
        answer->setGeometry(i * 100, 100, 100, 30);
    }
    vc->popoverPresentationController()->setDelegate(&keep);
    vc->popoverPresentationController()->setPermittedArrowDirections(UIPopoverArrowDirectionUp);
    vc->popoverPresentationController()->setBarButtonItem(screen.item);
    screen.pane->presentViewController(vc, false);
    ASSERT_TRUE(saveScreenshot(&screen.window, "/tmp/uikit_popover.png"));
    const QImage image = screen.window.grab().toImage();
    image.copy(170, 0, 220, 200).scaled(660, 600).save("/tmp/uikit_popover_zoom.png");
    const QPoint middle =
        vc->popoverPresentationController()->popupWidget()->bodyGeometry().center();
    EXPECT_EQ(QColor(image.pixel(middle.x(), middle.y() + 40)), QColor(72, 97, 112));
}
