#include "UIKitTestSupport.h"

#include "uikit/UIBackButton.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(UINavigationController, PushAndPopDriveAppearanceInOrder) {
    QStringList log;
    auto* a = new RecordingViewController("a", &log);
    UINavigationController nav(a);
    nav.pushViewController(new RecordingViewController("b", &log), false);
    EXPECT_TRUE(appearanceOnly(log).isEmpty()) << "nothing is on screen yet";
    nav.view()->show();
    nav.popViewControllerAnimated(false);
    log.clear();
    auto* b = new RecordingViewController("b", &log);
    nav.pushViewController(b, true);
    EXPECT_EQ(appearanceOnly(log), QStringList({"a:viewWillDisappear", "b:viewWillAppear",
                                                "a:viewDidDisappear", "b:viewDidAppear"}));
    log.clear();
    EXPECT_EQ(nav.popViewControllerAnimated(true), b);
    EXPECT_EQ(appearanceOnly(log), QStringList({"b:viewWillDisappear", "a:viewWillAppear",
                                                "b:viewDidDisappear", "a:viewDidAppear"}));
    EXPECT_EQ(nav.popViewControllerAnimated(true), nullptr) << "the root stays";
}

// The pane's own navigation controller, pushed onto the host's, leaves its bar to the outer
// one: its title view and buttons show there, and back pops it off.
TEST(UINavigationController, NestedControllerLeavesTheBarToTheOuterOne) {
    QStringList log;
    auto* settings = new RecordingViewController("设置", &log);
    UINavigationController outer(settings);
    outer.view()->resize(390, 800);
    outer.view()->show();
    auto* pane = new RecordingViewController("pane", &log);
    auto* titleView = new QLabel("title view");
    titleView->setFixedSize(80, 30);
    pane->navigationItem()->setTitleView(titleView);
    auto* button = new QPushButton;
    button->setFixedSize(30, 30);
    pane->navigationItem()->setRightBarButtonItems({new UIBarButtonItem(button)});
    auto* inner = new UINavigationController(pane);
    outer.pushViewController(inner, false);

    UINavigationBar* bar = outer.navigationBar();
    EXPECT_TRUE(inner->navigationBar()->isHidden());
    EXPECT_EQ(titleView->geometry(), QRect(155, 7, 80, 30)) << "centred in the 390-wide bar";
    EXPECT_EQ(button->geometry(), QRect(390 - 16 - 30, 7, 30, 30)) << "at the trailing edge";
    EXPECT_EQ(bar->backButton()->text(), "设置");
    auto* second = new QPushButton; // a change of the item while shown reaches the outer bar
    second->setFixedSize(40, 30);
    pane->navigationItem()->setRightBarButtonItems(
        {pane->navigationItem()->rightBarButtonItems().first(), new UIBarButtonItem(second)});
    EXPECT_EQ(second->parentWidget(), bar);
    EXPECT_EQ(second->geometry().right() + 1, button->geometry().left() - 8);

    QTest::mouseClick(bar->backButton(), Qt::LeftButton);
    EXPECT_EQ(outer.topViewController(), settings);
    EXPECT_FALSE(titleView->isVisible());
    EXPECT_FALSE(button->isVisible());
    EXPECT_EQ(bar->titleLabel()->text(), "设置");
}
