#include "UIKitTestSupport.h"

#include "uikit/UIBackButton.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITint.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QStringList appearanceOnly(const QStringList& log) {
    QStringList calls;
    for (const QString& entry : log) {
        if (entry.contains("Appear") || entry.contains("Disappear"))
            calls.append(entry);
    }
    return calls;
}
} // namespace

TEST(UINavigationController, PushAndPopDriveAppearanceInOrder) {
    QStringList log;
    auto* a = new RecordingViewController("a", &log);
    UINavigationController nav(a);
    nav.view()->resize(390, 800);
    nav.view()->show();
    EXPECT_EQ(appearanceOnly(log), QStringList({"a:viewWillAppear", "a:viewDidAppear"}));

    log.clear();
    auto* b = new RecordingViewController("b", &log);
    nav.pushViewController(b, true);
    EXPECT_EQ(appearanceOnly(log), QStringList({"a:viewWillDisappear", "b:viewWillAppear",
                                                "a:viewDidDisappear", "b:viewDidAppear"}));
    EXPECT_EQ(nav.topViewController(), b);
    EXPECT_EQ(b->navigationController(), &nav);
    EXPECT_EQ(b->parentViewController(), &nav);

    log.clear();
    EXPECT_EQ(nav.popViewControllerAnimated(true), b);
    EXPECT_EQ(appearanceOnly(log), QStringList({"b:viewWillDisappear", "a:viewWillAppear",
                                                "b:viewDidDisappear", "a:viewDidAppear"}));
    EXPECT_EQ(b->navigationController(), nullptr);
    EXPECT_EQ(nav.viewControllers(), QList<UIViewController*>({a}));
    EXPECT_EQ(nav.popViewControllerAnimated(true), nullptr) << "the root stays";
}

TEST(UINavigationController, PoppedControllerIsReleasedUnlessPushedAgain) {
    QStringList log;
    UINavigationController nav(new RecordingViewController("a", &log));
    QPointer<UIViewController> b = new RecordingViewController("b", &log);
    QPointer<UIViewController> c = new RecordingViewController("c", &log);
    nav.pushViewController(b, false);
    nav.popViewControllerAnimated(false);
    nav.pushViewController(c, false);
    nav.popViewControllerAnimated(false);
    nav.pushViewController(c, false); // back before the release
    QCoreApplication::processEvents();
    EXPECT_TRUE(b.isNull());
    ASSERT_FALSE(c.isNull());
    EXPECT_EQ(nav.topViewController(), c.data());
}

TEST(UINavigationController, StackOffScreenAppearsOnlyWithItsTop) {
    QStringList log;
    UINavigationController nav(new RecordingViewController("a", &log));
    nav.pushViewController(new RecordingViewController("b", &log), false);
    EXPECT_TRUE(appearanceOnly(log).isEmpty()) << "nothing is on screen yet";
    nav.view()->show();
    EXPECT_EQ(appearanceOnly(log), QStringList({"b:viewWillAppear", "b:viewDidAppear"}));
    log.clear();
    nav.view()->hide();
    EXPECT_EQ(appearanceOnly(log), QStringList({"b:viewWillDisappear", "b:viewDidDisappear"}));
}

TEST(UINavigationController, BarShowsTitleAndBackButtonWithThePreviousTitle) {
    QStringList log;
    UINavigationController nav(new RecordingViewController("设置", &log));
    nav.view()->resize(390, 800);
    nav.view()->show();
    UINavigationBar* bar = nav.navigationBar();
    EXPECT_EQ(bar->height(), 44);
    EXPECT_EQ(bar->titleLabel()->text(), "设置");
    EXPECT_TRUE(bar->backButton()->isHidden());

    nav.pushViewController(new RecordingViewController("Player", &log), false);
    EXPECT_EQ(bar->titleLabel()->text(), "Player");
    EXPECT_FALSE(bar->backButton()->isHidden());
    EXPECT_EQ(bar->backButton()->text(), "设置");
    EXPECT_NEAR(bar->titleLabel()->geometry().center().x(), 195, 2) << "title in the middle";

    QTest::mouseClick(bar->backButton(), Qt::LeftButton);
    EXPECT_EQ(nav.viewControllers().size(), 1);
    EXPECT_EQ(bar->titleLabel()->text(), "设置");
}

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

    EXPECT_EQ(pane->navigationController(), inner);
    EXPECT_EQ(inner->navigationController(), &outer);
    EXPECT_EQ(outer.innermostTopViewController(), pane);
    EXPECT_TRUE(inner->navigationBar()->isHidden());
    UINavigationBar* bar = outer.navigationBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(titleView->parentWidget(), bar);
    EXPECT_TRUE(titleView->isVisible());
    EXPECT_EQ(titleView->geometry(), QRect(155, 7, 80, 30)) << "centred in the 390-wide bar";
    EXPECT_EQ(button->parentWidget(), bar);
    EXPECT_EQ(button->geometry(), QRect(390 - 16 - 30, 7, 30, 30)) << "at the trailing edge";
    EXPECT_EQ(bar->backButton()->text(), "设置");

    // A change of the item while shown reaches the outer bar.
    auto* second = new QPushButton;
    second->setFixedSize(40, 30);
    pane->navigationItem()->setRightBarButtonItems(
        {pane->navigationItem()->rightBarButtonItems().first(), new UIBarButtonItem(second)});
    EXPECT_EQ(second->parentWidget(), bar);
    EXPECT_EQ(second->geometry().right() + 1, button->geometry().left() - 8);

    // Back from the pane pops the inner controller off the outer one.
    log.clear();
    QTest::mouseClick(bar->backButton(), Qt::LeftButton);
    EXPECT_EQ(outer.topViewController(), settings);
    EXPECT_FALSE(titleView->isVisible());
    EXPECT_FALSE(button->isVisible());
    EXPECT_EQ(bar->titleLabel()->text(), "设置");
    EXPECT_TRUE(log.contains("pane:viewWillDisappear"));
    EXPECT_TRUE(log.contains("设置:viewWillAppear"));
}

TEST(UINavigationController, BarTintTextAttributesAndTranslucency) {
    UINavigationController nav;
    UINavigationBar* bar = nav.navigationBar();
    EXPECT_EQ(bar->tintColor(), QColor(0, 122, 255));
    bar->setTintColor(QColor(121, 145, 153));
    EXPECT_EQ(UITint::tintColor(bar->backButton()), QColor(121, 145, 153));
    bar->setTranslucent(true);
    EXPECT_TRUE(bar->isTranslucent());
    bar->setTitleTextAttributes({{NSForegroundColorAttributeName, QColor(Qt::black)}});
    EXPECT_EQ(bar->titleLabel()->palette().color(QPalette::WindowText), QColor(Qt::black));
    bar->setTitleTextAttributes({{NSForegroundColorAttributeName, QColor(Qt::red)}});
    EXPECT_EQ(bar->titleLabel()->palette().color(QPalette::WindowText), QColor(Qt::red));
}

TEST(UINavigationController, RefusesPushesThatWouldBreakTheHierarchy) {
    QStringList log;
    auto* a = new RecordingViewController("a", &log);
    UINavigationController outer(a);
    auto* inner = new UINavigationController(new RecordingViewController("b", &log));
    outer.pushViewController(inner, false);
    outer.view();
    UIViewController presenter;
    presenter.view();
    auto* presented = new UIViewController(&presenter);
    presenter.presentViewController(presented, false);

    const QList<UIViewController*> before = outer.viewControllers();
    outer.pushViewController(nullptr, false);
    outer.pushViewController(&outer, false);    // itself
    outer.pushViewController(a, false);         // already on the stack
    inner->pushViewController(&outer, false);   // its own container
    outer.pushViewController(presented, false); // shown elsewhere
    EXPECT_EQ(outer.viewControllers(), before);
    EXPECT_EQ(inner->viewControllers().size(), 1);
    // Nor may a controller inside a stack be presented on its own.
    presenter.dismissViewControllerAnimated(false);
    presenter.presentViewController(a, false);
    EXPECT_EQ(presenter.presentedViewController(), nullptr);
    EXPECT_EQ(UIViewController::viewControllerForView(a->view()->parentWidget()), &outer);
}
