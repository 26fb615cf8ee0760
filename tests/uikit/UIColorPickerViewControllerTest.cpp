#include "uikit/UIColorPickerViewController.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <QColorDialog>
#include <gtest/gtest.h>

// A window closed with the picker up takes the picker's view along; the picker, owned
// elsewhere, outlives it (and, under the sanitizers, must not misread the dying dialog), and
// shows a whole new one the next time.
TEST(UIColorPickerViewController, OutlivesAWindowClosedWithItUp) {
    UIColorPickerViewController picker;
    picker.setSelectedColor(QColor(10, 20, 30));
    for (int round = 0; round < 2; ++round) {
        UIWindow window;
        auto* root = new UIViewController(&window);
        window.setRootViewController(root);
        window.show();
        root->presentViewController(&picker, false);
        ASSERT_EQ(root->presentedViewController(), &picker) << round;
        EXPECT_TRUE(window.isAncestorOf(picker.colorDialog())) << round;
        EXPECT_EQ(picker.colorDialog()->currentColor(), QColor(10, 20, 30)) << round;
    }
}
