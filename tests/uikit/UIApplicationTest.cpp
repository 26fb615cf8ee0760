#include "uikit/UIWindow.h"

#include "common/Eventually.h"
#include "foundation/NSNotificationCenter.h"
#include "uikit/UIApplication.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

// The key window is the active one; with none active, the one made key, else the first shown
// of those on screen.
TEST(UIApplication, KeyWindowIsTheActiveElseTheKeyElseTheFirstShown) {
    UIApplication* app = UIApplication::sharedApplication();
    UIWindow hidden, later, active;
    for (UIWindow* w : {&hidden, &later}) // shown without taking the keyboard
        w->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(app->keyWindow(), nullptr);
    later.show();
    hidden.show(); // made before, shown after
    ASSERT_EQ(QApplication::activeWindow(), nullptr) << "nothing may be active for this part";
    EXPECT_EQ(app->keyWindow(), &later) << "the first shown";
    hidden.makeKeyAndVisible();
    EXPECT_EQ(app->keyWindow(), &hidden) << "made key";
    active.show();
    active.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&active));
    EXPECT_EQ(app->keyWindow(), &active);
    active.hide();
    hidden.hide();
    EXPECT_TRUE(eventually([&] { return app->keyWindow() == &later; }, "back to the first shown"));
}

TEST(NSNotificationCenter, DeliversToLiveObserversOfTheNameOnly) {
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
}
