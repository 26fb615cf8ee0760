#include "UIKitTestSupport.h"

#include "uikit/UINavigationController.h"

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
