#pragma once

#include "uikit/UIViewController.h"

#include <QMetaObject>

class QStackedWidget;

// A stack of view controllers under a navigation bar. Nested in another navigation
// controller, its own bar is hidden: the outermost bar shows the navigation item of the
// innermost top controller, and its back button pops the innermost stack that can go back.
class UINavigationController : public UIViewController {
    Q_OBJECT
public:
    explicit UINavigationController(UIViewController* root = nullptr, QObject* parent = nullptr);

    void pushViewController(UIViewController* vc, bool animated);
    UIViewController* popViewControllerAnimated(bool animated);
    QList<UIViewController*> viewControllers() const;
    UIViewController* topViewController() const;
    UINavigationBar* navigationBar();

    // The controller whose navigation item the visible bar shows.
    UIViewController* innermostTopViewController() const;
    // Asks the outermost navigation controller to show the current innermost item again.
    void updateNavigationBar();

protected:
    void loadView() override;
    QList<UIViewController*> appearingChildren() const override;
    void didMoveToParentViewController(UIViewController* parent) override;

private:
    UINavigationController* outermost();
    UINavigationController* innermostThatCanPop();
    void refreshOwnBar();
    void showTop();
    void releaseLater(UIViewController* vc);

    QList<QPointer<UIViewController>> _stack;
    QStackedWidget* _content = nullptr;
    UINavigationBar* _bar = nullptr;
    QList<QMetaObject::Connection> _itemConnections;
};
