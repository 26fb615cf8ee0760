#include "UIKitTestSupport.h"

#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

#include <QLabel>
#include <QPointer>
#include <gtest/gtest.h>

TEST(UIViewController, ViewLoadsOnceOnFirstUse) {
    QStringList log;
    RecordingViewController vc("a", &log);
    EXPECT_FALSE(vc.isViewLoaded());
    QWidget* view = vc.view();
    EXPECT_EQ(vc.view(), view);
    EXPECT_TRUE(vc.isViewLoaded());
    EXPECT_EQ(log, QStringList({"a:loadView", "a:viewDidLoad"}));
}

TEST(UIViewController, RootControllerFollowsItsViewOnAndOffScreen) {
    QStringList log;
    RecordingViewController vc("a", &log);
    vc.view()->show();
    vc.view()->show(); // already shown: nothing new
    vc.view()->hide();
    EXPECT_EQ(log, QStringList({"a:loadView", "a:viewDidLoad", "a:viewWillAppear",
                                "a:viewDidAppear", "a:viewWillDisappear", "a:viewDidDisappear"}));
}

TEST(UIViewController, WindowRootAppearsWhenTheWindowShows) {
    QStringList log;
    UIWindow window;
    auto* vc = new RecordingViewController("root", &log, &window);
    window.setRootViewController(vc);
    EXPECT_EQ(vc->view()->parentWidget(), &window);
    EXPECT_FALSE(log.contains("root:viewWillAppear")) << "not on screen yet";
    window.show();
    EXPECT_TRUE(log.contains("root:viewWillAppear"));
    EXPECT_EQ(vc->view()->geometry(), window.rect());
}

TEST(UIViewController, ViewControllerForViewFindsTheNearestOwner) {
    QStringList log;
    RecordingViewController outer("outer", &log);
    RecordingViewController inner("inner", &log);
    inner.view()->setParent(outer.view());
    auto* deepInInner = new QLabel(new QWidget(inner.view()));
    auto* inOuter = new QLabel(outer.view());
    QWidget stray;

    EXPECT_EQ(UIViewController::viewControllerForView(deepInInner), &inner);
    EXPECT_EQ(UIViewController::viewControllerForView(inOuter), &outer);
    EXPECT_EQ(UIViewController::viewControllerForView(outer.view()), &outer);
    EXPECT_EQ(UIViewController::viewControllerForView(&stray), nullptr);
    EXPECT_EQ(UIViewController::viewControllerForView(nullptr), nullptr);
}

TEST(UIViewController, ViewGoesWithItsControllerAndIsNoLongerFound) {
    QStringList log;
    auto* vc = new RecordingViewController("a", &log);
    QPointer<QWidget> view = vc->view();
    delete vc;
    EXPECT_TRUE(view.isNull());
}

TEST(UIViewController, TitleFeedsTheNavigationItem) {
    QStringList log;
    RecordingViewController vc("a", &log);
    vc.setTitle("设置");
    EXPECT_EQ(vc.navigationItem()->title(), "设置");
    EXPECT_EQ(vc.navigationController(), nullptr);
}
