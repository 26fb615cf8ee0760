#include "UIKitTestSupport.h"

#include "uikit/UIPresentationController.h"

#include <gtest/gtest.h>

TEST(UIPresentationController, FullScreenCoversTheHierarchyUntilDismissed) {
    QStringList log;
    UIWindow window;
    auto* root = new RecordingViewController("root", &log, &window);
    window.setRootViewController(root);
    window.show();
    log.clear();
    auto* sheet = new RecordingViewController("sheet", &log, root);
    root->presentViewController(sheet, false);
    EXPECT_EQ(appearanceOnly(log), QStringList({"sheet:viewWillAppear", "root:viewWillDisappear",
                                                "root:viewDidDisappear", "sheet:viewDidAppear"}));
    EXPECT_EQ(sheet->view()->geometry(), window.rect());
    log.clear();
    sheet->dismissViewControllerAnimated(false); // the presented one may dismiss itself
    EXPECT_EQ(appearanceOnly(log), QStringList({"sheet:viewWillDisappear", "root:viewWillAppear",
                                                "root:viewDidAppear", "sheet:viewDidDisappear"}));
    EXPECT_FALSE(sheet->view()->isVisible());
    // Dismissing also closes what the presented one presents.
    root->presentViewController(sheet, false);
    auto* over = new UIViewController(root);
    sheet->presentViewController(over, false);
    root->dismissViewControllerAnimated(false);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(over->presentingViewController(), nullptr);
    EXPECT_TRUE(window.findChildren<UIDimmingView*>().isEmpty());
}
