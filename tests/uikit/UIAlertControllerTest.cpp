#include "UIKitTestSupport.h"

#include "uikit/UIAlertButton.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIPresentationController.h"
#include "uikit/UITextField.h"

#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Screen {
    UIWindow window;
    UIViewController* root = new UIViewController(&window);
    Screen() {
        window.setRootViewController(root);
        window.resize(390, 844);
        window.show();
    }
};

UIAlertController* valueAlert(QStringList* log) {
    auto* alert = UIAlertController::alertControllerWithTitle("输入数值", QString(),
                                                              UIAlertControllerStyleAlert);
    alert->addTextFieldWithConfigurationHandler([](UITextField* field) {
        field->setKeyboardType(UIKeyboardTypeDecimalPad);
        field->setText("");
        field->setTextColor(QColor(121, 145, 153));
    });
    alert->addAction(
        UIAlertAction::actionWithTitle("设置", UIAlertActionStyleDefault, [log](UIAlertAction* a) {
            log->append("handler:" + a->title());
        }));
    alert->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyleCancel));
    return alert;
}

QStringList buttonTitles(UIAlertController* alert) {
    QList<UIAlertButton*> buttons = alert->alertView()->buttons();
    std::sort(buttons.begin(), buttons.end(), [](UIAlertButton* a, UIAlertButton* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    QStringList titles;
    for (UIAlertButton* button : buttons)
        titles.append(button->text());
    return titles;
}

} // namespace

TEST(UIAlertController, KeepsActionsInOrderWithTheirStyles) {
    QStringList log;
    std::unique_ptr<UIAlertController> alert(valueAlert(&log));
    ASSERT_EQ(alert->actions().size(), 2);
    EXPECT_EQ(alert->actions()[0]->title(), "设置");
    EXPECT_EQ(alert->actions()[0]->style(), UIAlertActionStyleDefault);
    EXPECT_EQ(alert->actions()[1]->title(), "取消");
    EXPECT_EQ(alert->actions()[1]->style(), UIAlertActionStyleCancel);
    EXPECT_EQ(alert->title(), "输入数值");
    EXPECT_TRUE(alert->message().isEmpty());
    ASSERT_EQ(alert->textFields().size(), 1);
    EXPECT_EQ(alert->textFields()[0]->keyboardType(), UIKeyboardTypeDecimalPad);
    EXPECT_EQ(alert->textFields()[0]->textColor(), QColor(121, 145, 153));
}

TEST(UIAlertController, ButtonsPutCancelFirstInARowAndLastInAColumn) {
    QStringList log;
    std::unique_ptr<UIAlertController> two(valueAlert(&log));
    two->view();
    EXPECT_EQ(buttonTitles(two.get()), QStringList({"取消", "设置"}));

    std::unique_ptr<UIAlertController> three(
        UIAlertController::alertControllerWithTitle("t", "m", UIAlertControllerStyleAlert));
    three->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyleCancel));
    three->addAction(UIAlertAction::actionWithTitle("A", UIAlertActionStyleDefault));
    three->addAction(UIAlertAction::actionWithTitle("B", UIAlertActionStyleDestructive));
    three->view();
    EXPECT_EQ(buttonTitles(three.get()), QStringList({"A", "B", "取消"}));
    for (UIAlertButton* button : three->alertView()->buttons()) {
        EXPECT_EQ(button->height(), 44);
        EXPECT_EQ(button->width(), 270);
        if (button->action()->style() == UIAlertActionStyleDestructive)
            EXPECT_EQ(button->textColor(), QColor(255, 59, 48));
        else
            EXPECT_EQ(button->textColor(), QColor(0, 122, 255));
    }
}

TEST(UIAlertController, TriggerDismissesFirstThenRunsTheHandlerOnce) {
    Screen screen;
    QStringList log;
    auto* alert = valueAlert(&log);
    UIAlertAction* set = alert->actions()[0];
    alert->actions()[0]->setObjectName("set");
    // The handler sees the alert already closed.
    auto* checking =
        UIAlertAction::actionWithTitle("check", UIAlertActionStyleDefault, [&](UIAlertAction*) {
            log.append(screen.root->presentedViewController() ? "still presented" : "closed");
        });
    alert->addAction(checking);
    screen.root->presentViewController(alert, true);
    EXPECT_EQ(screen.root->presentedViewController(), alert);
    EXPECT_EQ(alert->presentingViewController(), screen.root);

    alert->triggerAction(checking);
    EXPECT_EQ(log, QStringList({"closed"}));
    EXPECT_EQ(screen.root->presentedViewController(), nullptr);
    alert->triggerAction(set); // not presented any more: still what a tap would do
    EXPECT_EQ(log, QStringList({"closed", "handler:设置"}));
}

TEST(UIAlertController, TappingAButtonRunsItsActionAndReleasesTheAlert) {
    Screen screen;
    QStringList log;
    QPointer<UIAlertController> alert = valueAlert(&log);
    screen.root->presentViewController(alert, false);
    UIAlertButton* set = nullptr;
    for (UIAlertButton* button : alert->alertView()->buttons()) {
        if (button->text() == "设置")
            set = button;
    }
    ASSERT_NE(set, nullptr);
    QTest::mouseClick(set, Qt::LeftButton);
    EXPECT_EQ(log, QStringList({"handler:设置"}));
    EXPECT_EQ(screen.root->presentedViewController(), nullptr);
    QTest::qWait(UIPresentationController::kFadeMilliseconds / 2);
    EXPECT_FALSE(alert.isNull()) << "gone before it had faded out";
    EXPECT_EQ(screen.window.findChildren<UIDimmingView*>().size(), 1) << "no fade to see";
    QTest::qWait(UIPresentationController::kFadeMilliseconds + 100);
    EXPECT_TRUE(alert.isNull()) << "nobody held it, so it goes once closed";
}

TEST(UIAlertController, ForeignOrDisabledActionsDoNothing) {
    Screen screen;
    QStringList log;
    auto* alert = valueAlert(&log);
    screen.root->presentViewController(alert, false);
    UIAlertAction foreign("x", UIAlertActionStyleDefault, [&](UIAlertAction*) { log << "x"; });
    alert->triggerAction(&foreign);
    alert->triggerAction(nullptr);
    alert->actions()[0]->setEnabled(false);
    alert->triggerAction(alert->actions()[0]);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(screen.root->presentedViewController(), alert);
}

TEST(UIAlertController, EscapeIsCancelAndReturnTheOnlyOtherAction) {
    Screen screen;
    QStringList log;
    auto* alert = valueAlert(&log);
    screen.root->presentViewController(alert, false);
    QTest::keyClicks(alert->textFields()[0], "2.5");
    QTest::keyClick(alert->textFields()[0], Qt::Key_Return);
    EXPECT_EQ(log, QStringList({"handler:设置"}));

    auto* second = valueAlert(&log);
    screen.root->presentViewController(second, false);
    QTest::keyClick(second->textFields()[0], Qt::Key_Escape);
    EXPECT_EQ(log.size(), 1);
    EXPECT_EQ(screen.root->presentedViewController(), nullptr);
}

TEST(UIAlertController, OnePresentationAtATime) {
    Screen screen;
    QStringList log;
    auto* first = valueAlert(&log);
    std::unique_ptr<UIAlertController> second(valueAlert(&log));
    screen.root->presentViewController(first, false);
    screen.root->presentViewController(second.get(), false);
    EXPECT_EQ(screen.root->presentedViewController(), first);
    EXPECT_EQ(second->presentingViewController(), nullptr);
}

TEST(UIAlertController, PresentationDoesNotBlockAndCoversTheWindow) {
    Screen screen;
    QStringList log;
    bool completed = false;
    auto* alert = valueAlert(&log);
    screen.root->presentViewController(alert, true, [&] { completed = true; });
    EXPECT_TRUE(completed) << "returns at once: no nested event loop";
    QWidget* card = alert->view();
    EXPECT_EQ(card->width(), 270);
    EXPECT_EQ(card->window(), &screen.window);
    EXPECT_EQ(card->parentWidget()->geometry(), screen.window.rect()) << "the dimmed layer";
    EXPECT_NEAR(card->geometry().center().x(), 195, 1);
    EXPECT_NEAR(card->geometry().center().y(), 422, 1);
    EXPECT_EQ(screen.window.focusWidget(), alert->textFields()[0]);
}

TEST(UIAlertController, RendersLegibly) {
    Screen screen;
    QStringList log;
    auto* alert = valueAlert(&log);
    screen.root->presentViewController(alert, false);
    QTest::keyClicks(alert->textFields()[0], "12.5");
    ASSERT_TRUE(saveScreenshot(&screen.window, "/tmp/uikit_alert.png"));
    const QImage image = screen.window.grab().toImage();
    // Dimmed around the card, light on the card.
    EXPECT_LT(qGray(image.pixel(20, 20)), 230);
    EXPECT_GT(qGray(image.pixel(195, 422 - 40)), 230);

    auto* info = UIAlertController::alertControllerWithTitle(
        "Info title", "A longer message that explains the setting,\nover two lines. 设置说明",
        UIAlertControllerStyleAlert);
    info->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyleCancel));
    alert->triggerAction(alert->actions()[1]);
    screen.root->presentViewController(info, false);
    ASSERT_TRUE(saveScreenshot(&screen.window, "/tmp/uikit_info_alert.png"));
}
