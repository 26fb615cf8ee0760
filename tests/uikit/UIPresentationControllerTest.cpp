#include "UIKitTestSupport.h"

#include "uikit/UIBarButtonItem.h"
#include "uikit/UIFont.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIPresentationController.h"

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

TEST(UIPresentationController, FullScreenCoversTheWholeHierarchyUntilDismissed) {
    QStringList log;
    UIWindow window;
    auto* pane = new RecordingViewController("pane", &log);
    auto* nav = new UINavigationController(pane, &window);
    window.setRootViewController(nav);
    window.show();
    log.clear();

    auto* sheet = new RecordingViewController("sheet", &log, pane);
    pane->presentViewController(sheet, false);
    EXPECT_EQ(appearanceOnly(log), QStringList({"sheet:viewWillAppear", "pane:viewWillDisappear",
                                                "pane:viewDidDisappear", "sheet:viewDidAppear"}));
    EXPECT_EQ(sheet->view()->geometry(), window.rect());
    EXPECT_EQ(sheet->presentingViewController(), pane);

    log.clear();
    sheet->dismissViewControllerAnimated(false); // the presented one may dismiss itself
    EXPECT_EQ(appearanceOnly(log), QStringList({"sheet:viewWillDisappear", "pane:viewWillAppear",
                                                "pane:viewDidAppear", "sheet:viewDidDisappear"}));
    EXPECT_EQ(pane->presentedViewController(), nullptr);
    EXPECT_EQ(sheet->view()->parentWidget(), &window); // hidden, waiting to be shown again
    EXPECT_FALSE(sheet->view()->isVisible());
}

TEST(UIPresentationController, DismissingAlsoClosesWhatThePresentedOnePresents) {
    UIWindow window;
    auto* root = new UIViewController(&window);
    window.setRootViewController(root);
    window.show();
    auto* first = new UIViewController(root);
    auto* second = new UIViewController(root);
    root->presentViewController(first, false);
    first->presentViewController(second, false);
    EXPECT_EQ(first->presentedViewController(), second);
    root->dismissViewControllerAnimated(false);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(first->presentedViewController(), nullptr);
    EXPECT_EQ(second->presentingViewController(), nullptr);
    EXPECT_TRUE(window.findChildren<UIDimmingView*>().isEmpty());
}

TEST(UIPresentationController, CompletionRunsAndNothingToDismissIsHarmless) {
    UIWindow window;
    auto* root = new UIViewController(&window);
    window.setRootViewController(root);
    int completions = 0;
    root->dismissViewControllerAnimated(true, [&] { ++completions; });
    root->presentViewController(nullptr, true, [&] { ++completions; }); // refused: no call
    root->presentViewController(root, true, [&] { ++completions; });
    EXPECT_EQ(completions, 1);
}

TEST(UIPresentationController, PresenterGoingAwayTakesTheLayerWithIt) {
    UIWindow window;
    window.show();
    auto* host = new UIViewController(&window);
    host->view()->setParent(&window);
    QPointer<UIViewController> shown = new UIViewController;
    host->presentViewController(shown, false);
    ASSERT_EQ(window.findChildren<UIDimmingView*>().size(), 1);
    delete host;
    EXPECT_TRUE(window.findChildren<UIDimmingView*>().isEmpty());
    EXPECT_EQ(shown->presentingViewController(), nullptr);
    delete shown.data();
}

TEST(UINavigationBar, RendersLegibly) {
    QStringList log;
    UIWindow window;
    auto* settings = new RecordingViewController("设置", &log);
    auto* nav = new UINavigationController(settings, &window);
    window.setRootViewController(nav);
    window.show();
    auto* pane = new RecordingViewController("Player", &log);
    auto* round = new QPushButton("✓");
    round->setFixedSize(30, 30);
    round->setStyleSheet("background: rgb(72,97,112); border-radius: 15px; color: white;");
    pane->navigationItem()->setRightBarButtonItems({new UIBarButtonItem(round)});
    nav->pushViewController(pane, false);
    nav->navigationBar()->setTintColor(QColor(121, 145, 153));
    const QImage bar = nav->navigationBar()->grab().toImage();
    ASSERT_TRUE(bar.save("/tmp/uikit_navbar.png"));
    bar.scaled(bar.size() * 2).save("/tmp/uikit_navbar_zoom.png");
    // The back chevron is drawn in the tint at the leading edge.
    bool tinted = false;
    for (int x = 8; x < 24 && !tinted; ++x) {
        for (int y = 10; y < 34 && !tinted; ++y)
            tinted = QColor(bar.pixel(x, y)) == QColor(121, 145, 153);
    }
    EXPECT_TRUE(tinted);
}
