#include "QEVColorPickerCellTestSupport.h"

#include "preferences/PSSpecifierListLoader.h"
#include "preferences/UITableView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIPopoverPresentationController.h"
#include "uikit/UIScene.h"
#include "uikit/UITint.h"
#include "uikit/UIWindow.h"

#include <QTest>

namespace {

bool anyForegroundScene() {
    for (UIScene* scene : UIApplication::sharedApplication()->connectedScenes()) {
        if (scene->activationState() == UISceneActivationStateForegroundActive)
            return true;
    }
    return false;
}

// A list of colour rows in a table on screen, the way the host shows a pane.
class ColorListTest : public testing::Test {
protected:
    CellTestController controller;

    void SetUp() override { registerCellClass<QEVColorPickerCell>("QEVColorPickerCell"); }
    // Wide enough that the picker stays a popover rather than becoming a sheet.
    QEVColorPickerCell* show(const QVariantList& rows, int width = 800) {
        controller.setSpecifiers(PSSpecifierListLoader::loadDictionary({{"items", rows}}, nullptr,
                                                                       &controller, &controller)
                                     .specifiers);
        QWidget* view = controller.view();
        view->resize(width, 500);
        view->show();
        if (!QTest::qWaitForWindowExposed(view))
            return nullptr;
        return qobject_cast<QEVColorPickerCell*>(controller.table()->cellForRowAtIndexPath({0, 0}));
    }
    static void tap(QWidget* cell) { QTest::mouseClick(cell, Qt::LeftButton, {}, {40, 20}); }
};

TEST_F(ColorListTest, TappingTheRowOpensThePickerAndLeavesTheRowUnselected) {
    QEVColorPickerCell* cell = show({colorRow("c", {{"default", "#336699"}})});
    ASSERT_NE(cell, nullptr);
    UIColorPickerViewController* picker = cell->colorPicker();
    tap(cell);
    EXPECT_EQ(controller.presentedViewController(), picker);
    EXPECT_EQ(picker->modalPresentationStyle(), UIModalPresentationStyle::Popover);
    EXPECT_EQ(picker->selectedColor(), QColor(0x33, 0x66, 0x99));
    EXPECT_FALSE(cell->isSelected());
    EXPECT_EQ(cell->highlightOpacity(), 0);

    UIPopoverPresentationController* popover = picker->popoverPresentationController();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->sourceView(), cell);
    EXPECT_EQ(popover->sourceRect(), cell->rect());
    EXPECT_EQ(popover->permittedArrowDirections(), 0);
    EXPECT_EQ(popover->backgroundColor(), UIColor::systemBackgroundColor());
    EXPECT_TRUE(popover->isPresentedAsPopover());
    EXPECT_TRUE(controller.writes.isEmpty()) << "opening the picker stores nothing";
}

// Inside the table, the title is drawn in the tint, not in the scroll area's text colour.
TEST_F(ColorListTest, TitleIsDrawnInTheTint) {
    QEVColorPickerCell* cell = show({colorRow("Tint", {{"default", "#FFFFFF"}})});
    ASSERT_NE(cell, nullptr);
    const QColor tint(121, 145, 153);
    UITint::setTintColor(controller.view(), tint);
    const QImage image = cell->grab().toImage();
    const QRect title = cell->textLabel()->geometry();
    QColor darkest = Qt::white;
    for (int y = title.top(); y <= title.bottom(); ++y) {
        for (int x = title.left(); x <= title.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.lightness() < darkest.lightness())
                darkest = c;
        }
    }
    EXPECT_TRUE(colorNear(darkest, tint, 12));
}

// The host may drop a row's cell while its picker is open: the picker goes with it.
TEST_F(ColorListTest, ACellDroppedWhileItsPickerIsOpenTakesThePickerAlong) {
    QPointer<QEVColorPickerCell> cell = show({colorRow("c", {{"supportsAlpha", true}})});
    ASSERT_NE(cell, nullptr);
    tap(cell);
    QPointer<UIColorPickerViewController> picker = cell->colorPicker();
    QPointer<QWidget> pickerView = picker->view();
    ASSERT_EQ(controller.presentedViewController(), picker.data());
    controller.table()->reloadData();
    QTRY_VERIFY(cell.isNull());
    EXPECT_TRUE(picker.isNull());
    EXPECT_TRUE(pickerView.isNull());
    EXPECT_EQ(controller.presentedViewController(), nullptr);
    // The new cell opens its own picker.
    auto* again =
        qobject_cast<QEVColorPickerCell*>(controller.table()->cellForRowAtIndexPath({0, 0}));
    ASSERT_NE(again, nullptr);
    tap(again);
    EXPECT_EQ(controller.presentedViewController(), again->colorPicker());
}

TEST(ColorCellPresenter, WithoutAViewControllerTheForegroundWindowsRootPresents) {
    CellTestController list;
    auto* specifier = new PSSpecifier(colorRow("c"), &list, &list);
    struct {
        const char* name;
        bool windowShown;
        bool presented;
    } const cases[] = {{"foreground window", true, true}, {"hidden window", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(anyForegroundScene()) << "a window of another test is still open";
        UIViewController root;
        UIWindow window;
        window.setRootViewController(&root);
        if (c.windowShown) {
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        }
        QEVColorPickerCell cell(0, "c", specifier); // in no view controller's view
        cell.setSelected(true, true);
        EXPECT_EQ(cell.colorPicker()->presentingViewController(), c.presented ? &root : nullptr);
        EXPECT_FALSE(cell.isSelected());
        if (c.presented)
            root.dismissViewControllerAnimated(false);
        window.setRootViewController(nullptr);
    }
}

TEST(ColorCellPresenter, WithNoPresenterNothingOpensAndTheRowCanBeTappedAgain) {
    ASSERT_FALSE(anyForegroundScene()) << "a window of another test is still open";
    CellTestController list;
    QEVColorPickerCell cell(0, "c", new PSSpecifier(colorRow("c"), &list, &list));
    for (int i = 0; i < 3; ++i) {
        cell.setSelected(true, true);
        cell.setSelected(false, true);
        EXPECT_EQ(cell.colorPicker()->presentingViewController(), nullptr);
        EXPECT_FALSE(cell.colorPicker()->isViewLoaded() && cell.colorPicker()->view()->isVisible());
        EXPECT_FALSE(cell.isSelected());
    }
    EXPECT_TRUE(list.writes.isEmpty());
}

} // namespace
