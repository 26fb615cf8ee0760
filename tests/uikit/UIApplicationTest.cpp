#include "UIKitTestSupport.h"

#include "foundation/NSNotificationCenter.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScene.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct BackgroundCounter {
    QObject observer;
    int background = 0;
    int foreground = 0;
    BackgroundCounter() {
        NSNotificationCenter::defaultCenter()->addObserver(
            &observer, UIApplicationDidEnterBackgroundNotification, [this] { ++background; });
        NSNotificationCenter::defaultCenter()->addObserver(
            &observer, UIApplicationWillEnterForegroundNotification, [this] { ++foreground; });
    }
};
} // namespace

TEST(UIApplication, KeyWindowIsTheShownOne) {
    UIApplication* app = UIApplication::sharedApplication();
    EXPECT_EQ(app, UIApplication::sharedApplication());
    UIWindow hidden, shown;
    EXPECT_EQ(app->keyWindow(), nullptr);
    shown.makeKeyAndVisible();
    EXPECT_EQ(app->keyWindow(), &shown);
    EXPECT_TRUE(app->windows().contains(&hidden));
    shown.hide();
    EXPECT_EQ(app->keyWindow(), nullptr);

    UIWindow later;
    later.show();
    hidden.show(); // made before, shown after
    if (!qobject_cast<UIWindow*>(QApplication::activeWindow()))
        EXPECT_EQ(app->keyWindow(), &later) << "the first shown";
    later.hide();
    EXPECT_EQ(app->keyWindow(), &hidden);
}

TEST(UIApplication, ScenesReportWhetherTheirWindowIsInTheForeground) {
    UIWindow window;
    UIScene* scene = window.windowScene();
    ASSERT_TRUE(UIApplication::sharedApplication()->connectedScenes().contains(scene));
    EXPECT_EQ(scene->windows(), QList<UIWindow*>({&window}));
    EXPECT_EQ(scene->activationState(), UISceneActivationStateBackground);
    window.show();
    EXPECT_EQ(scene->activationState(), UISceneActivationStateForegroundActive);
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(scene->activationState(), UISceneActivationStateBackground);
}

TEST(UIApplication, MinimisingTheLastWindowPostsTheMoveToTheBackgroundOnce) {
    BackgroundCounter counter;
    {
        UIWindow window;
        window.makeKeyAndVisible();
        EXPECT_EQ(counter.background, 0);
        counter.foreground = 0; // a first launch may or may not count as coming back
        window.setWindowState(Qt::WindowMinimized);
        EXPECT_EQ(counter.background, 1);
        window.setWindowState(Qt::WindowMinimized | Qt::WindowMaximized); // still away
        EXPECT_EQ(counter.background, 1);
        window.setWindowState(Qt::WindowNoState);
        EXPECT_EQ(counter.foreground, 1);
        EXPECT_EQ(counter.background, 1);
        window.setWindowState(Qt::WindowMinimized);
        EXPECT_EQ(counter.background, 2);
        window.setWindowState(Qt::WindowNoState);
    }
    EXPECT_EQ(counter.background, 3) << "the last window going away is a move too";
}

TEST(UIApplication, AnotherWindowInFrontKeepsTheApplicationInTheForeground) {
    BackgroundCounter counter;
    UIWindow first, second;
    first.show();
    second.show();
    first.setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(counter.background, 0);
    second.hide();
    EXPECT_EQ(counter.background, 1);
}

TEST(NSNotificationCenter, DeliversToLiveObserversOfTheName) {
    NSNotificationCenter* center = NSNotificationCenter::defaultCenter();
    QStringList heard;
    auto* first = new QObject;
    QObject second;
    center->addObserver(first, "a", [&] { heard << "first:a"; });
    center->addObserver(&second, "a", [&] { heard << "second:a"; });
    center->addObserver(&second, "b", [&] { heard << "second:b"; });
    center->postNotificationName("a");
    EXPECT_EQ(heard, QStringList({"first:a", "second:a"}));

    heard.clear();
    delete first; // registrations end with the observer
    center->postNotificationName("a");
    center->removeObserver(&second);
    center->postNotificationName("b");
    EXPECT_EQ(heard, QStringList({"second:a"}));
    EXPECT_EQ(center->observerCount("a"), 0);
    center->addObserver(nullptr, "a", [&] { heard << "nobody"; });
    center->addObserver(&second, "a", {});
    center->postNotificationName("a");
    EXPECT_EQ(heard, QStringList({"second:a"}));
}

TEST(NSNotificationCenter, ObserverMayRemoveItselfOrOthersWhileHearing) {
    NSNotificationCenter* center = NSNotificationCenter::defaultCenter();
    QStringList heard;
    QObject a, b;
    auto* c = new QObject;
    center->addObserver(&a, "n", [&] {
        heard << "a";
        center->removeObserver(&a);
        delete c; // gone before its turn
    });
    center->addObserver(c, "n", [&] { heard << "c"; });
    center->addObserver(&b, "n", [&] { heard << "b"; });
    center->postNotificationName("n");
    center->postNotificationName("n");
    EXPECT_EQ(heard, QStringList({"a", "b", "b"}));
    center->removeObserver(&b);
}
