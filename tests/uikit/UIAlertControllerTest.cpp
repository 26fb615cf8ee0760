#include "common/QtPrinters.h"
#include "uikit/UIWindow.h"

#include "common/Eventually.h"

#include "uikit/UIAlertButton.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIPresentationController.h"
#include "uikit/UITextField.h"

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

// The number box's alert: a field, "设置" and a cancel.
UIAlertController* valueAlert(QStringList* log, UIViewController* presenter = nullptr) {
    auto* alert = UIAlertController::alertControllerWithTitle("输入数值", QString(),
                                                              UIAlertControllerStyleAlert);
    alert->addTextFieldWithConfigurationHandler([](UITextField*) {});
    alert->addAction(
        UIAlertAction::actionWithTitle("设置", UIAlertActionStyleDefault, [=](UIAlertAction* a) {
            const bool shown = presenter && presenter->presentedViewController();
            log->append(a->title() + (shown ? " shown" : " closed"));
        }));
    alert->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyleCancel));
    return alert;
}

UIAlertButton* buttonTitled(UIAlertController* alert, const QString& title) {
    for (UIAlertButton* button : alert->alertView()->buttons())
        if (button->text() == title)
            return button;
    return nullptr;
}

} // namespace

// How each way of answering ends: the handler that runs (and sees the alert closed already),
// whether the alert is still shown, and that a closed alert is released once it has faded.
TEST(UIAlertController, EachAnswerRunsItsOwnActionOnceClosed) {
    struct Case {
        const char* name;
        std::function<void(UIAlertController*)> answer;
        QStringList log;
    };
    const Case cases[] = {
        {"tap 设置",
         [](UIAlertController* a) { QTest::mouseClick(buttonTitled(a, "设置"), Qt::LeftButton); },
         {"设置 closed"}},
        {"Return runs the only other action",
         [](UIAlertController* a) {
             QTest::keyClicks(a->textFields()[0], "2.5");
             QTest::keyClick(a->textFields()[0], Qt::Key_Return);
         },
         {"设置 closed"}},
        {"Escape is cancel",
         [](UIAlertController* a) { QTest::keyClick(a->textFields()[0], Qt::Key_Escape); },
         {}},
        {"a foreign, no or disabled action does nothing",
         [](UIAlertController* a) {
             UIAlertAction foreign("x", UIAlertActionStyleDefault, [](UIAlertAction*) {});
             a->triggerAction(&foreign);
             a->triggerAction(nullptr);
             a->actions()[0]->setEnabled(false);
             a->triggerAction(a->actions()[0]);
         },
         {}},
    };
    for (const Case& c : cases) {
        Screen screen;
        QStringList log;
        QPointer<UIAlertController> alert = valueAlert(&log, screen.root);
        screen.root->presentViewController(alert, false);
        c.answer(alert);
        const bool answered = c.name != std::string_view(cases[3].name);
        EXPECT_EQ(log, c.log) << c.name;
        EXPECT_EQ(screen.root->presentedViewController() == alert, !answered) << c.name;
        EXPECT_TRUE(!answered || eventually([&] { return alert.isNull(); }, "released after fade"))
            << c.name;
    }
}

TEST(UIAlertController, OnePresentationAtATime) {
    Screen screen;
    QStringList log;
    auto* first = valueAlert(&log, screen.root);
    std::unique_ptr<UIAlertController> second(valueAlert(&log, screen.root));
    screen.root->presentViewController(first, false);
    screen.root->presentViewController(second.get(), false);
    EXPECT_EQ(screen.root->presentedViewController(), first);
    EXPECT_EQ(second->presentingViewController(), nullptr);
}
