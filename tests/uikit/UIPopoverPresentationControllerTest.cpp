#include "uikit/UIWindow.h"

#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIPopoverPresentationController.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A window with a navigation bar whose only right item is a round 30-point button.
struct BarScreen {
    UIWindow window;
    UIViewController* pane = new UIViewController;
    UINavigationController* nav = new UINavigationController(pane, &window);
    QPushButton* button = new QPushButton;
    UIBarButtonItem* item = new UIBarButtonItem(button);

    explicit BarScreen(int width) {
        button->setFixedSize(30, 30);
        pane->navigationItem()->setRightBarButtonItems({item});
        window.setRootViewController(nav);
        window.resize(width, 844);
        window.show();
    }
    QRect inWindow(QWidget* w) const { return QRect(w->mapTo(&window, QPoint(0, 0)), w->size()); }
};

UIViewController* popoverOf(QObject* owner, QSize size = QSize(200, 130)) {
    auto* vc = new UIViewController(owner);
    vc->setModalPresentationStyle(UIModalPresentationStyle::Popover);
    vc->setPreferredContentSize(size);
    return vc;
}

// Room below an anchor: down to the screen margin, less the arrow.
int roomBelow(const QRect& anchor, int windowHeight) {
    return windowHeight - 1 - UIPopoverPresentationController::kScreenMargin - anchor.bottom() -
           UIPopoverView::kArrowHeight;
}

} // namespace

// Where the bubble goes for its anchor, the sides it may take and its size; it keeps to its
// anchor when the window is laid out again.
TEST(UIPopoverPresentationController, PlacesTheBubbleBesideItsAnchor) {
    struct Case {
        const char* name;
        QRect cell; // in the pane; empty: the bar button
        int permitted;
        int height;
        bool pastRoom; // the height is counted past the room below the anchor
        UIPopoverArrowDirection expected;
    };
    const auto up = UIPopoverArrowDirectionUp, down = UIPopoverArrowDirectionDown,
               none = UIPopoverArrowDirectionUnknown;
    const Case cases[] = {
        {"bar button, arrow up", {}, up, 130, false, up},
        {"row, no arrow: over the row", {16, 300, 358, 44}, none, 130, false, none},
        {"no room below: above", {400, 700, 40, 40}, up | down, 300, false, down},
        {"fits exactly below: stays below", {400, 560, 40, 40}, up | down, 0, true, up},
        {"one point too tall below: above", {400, 560, 40, 40}, up | down, 1, true, down},
    };
    for (const Case& c : cases) {
        BarScreen screen(900);
        QWidget* anchor = screen.button;
        UIViewController* vc = popoverOf(screen.pane);
        UIPopoverPresentationController* popover = vc->popoverPresentationController();
        if (c.cell.isEmpty()) {
            popover->setBarButtonItem(screen.item);
        } else {
            anchor = new QWidget(screen.pane->view());
            anchor->setGeometry(c.cell);
            popover->setSourceView(anchor);
            popover->setSourceRect(anchor->rect());
        }
        const int room = c.pastRoom ? roomBelow(screen.inWindow(anchor), 844) : 0;
        vc->setPreferredContentSize(QSize(200, room + c.height));
        popover->setPermittedArrowDirections(c.permitted);
        screen.pane->presentViewController(vc, false);
        ASSERT_TRUE(popover->isPresentedAsPopover()) << c.name;
        EXPECT_EQ(popover->arrowDirection(), c.expected) << c.name;
        screen.window.resize(1200, 844); // it keeps to its anchor laid out again
        QCoreApplication::processEvents();
        const QRect at = screen.inWindow(anchor);
        UIPopoverView* bubble = popover->popupWidget();
        const QRect body = bubble->bodyGeometry();
        const int arrow = UIPopoverView::kArrowHeight;
        if (c.expected == up) {
            EXPECT_EQ(bubble->arrowTip(), QPoint(at.center().x(), at.bottom() + 1)) << c.name;
            EXPECT_EQ(body.top(), at.bottom() + 1 + arrow) << c.name;
        } else if (c.expected == down) {
            EXPECT_EQ(bubble->arrowTip().x(), at.center().x()) << c.name;
            EXPECT_EQ(body.bottom(), at.top() - 1 - arrow) << c.name;
        } else {
            EXPECT_EQ(body.center(), at.center()) << c.name;
        }
    }
}

TEST(UIPopoverPresentationController, TapOutsideDismissesTapInsideDoesNot) {
    BarScreen screen(900);
    UIViewController* vc = popoverOf(screen.pane);
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
}
