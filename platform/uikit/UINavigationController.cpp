#include "uikit/UINavigationController.h"

#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationItem.h"

#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

UINavigationController::UINavigationController(UIViewController* root, QObject* parent)
    : UIViewController(parent) {
    if (root)
        pushViewController(root, false);
}

void UINavigationController::loadView() {
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    _bar = new UINavigationBar(view);
    connect(_bar, &UINavigationBar::backTapped, this, [this] {
        if (UINavigationController* nav = innermostThatCanPop())
            nav->popViewControllerAnimated(true);
    });
    layout->addWidget(_bar);
    _content = new QStackedWidget(view);
    layout->addWidget(_content, 1);
    setView(view);
    for (const QPointer<UIViewController>& vc : _stack) {
        if (vc)
            _content->addWidget(vc->view());
    }
    showTop();
    refreshOwnBar();
}

UINavigationBar* UINavigationController::navigationBar() {
    view(); // the bar lives in the controller's view
    return _bar;
}

QList<UIViewController*> UINavigationController::viewControllers() const {
    QList<UIViewController*> list;
    for (const QPointer<UIViewController>& vc : _stack) {
        if (vc)
            list.append(vc);
    }
    return list;
}

UIViewController* UINavigationController::topViewController() const {
    const QList<UIViewController*> list = viewControllers();
    return list.isEmpty() ? nullptr : list.last();
}

QList<UIViewController*> UINavigationController::appearingChildren() const {
    UIViewController* top = topViewController();
    return top ? QList<UIViewController*>{top} : QList<UIViewController*>{};
}

void UINavigationController::pushViewController(UIViewController* vc, bool animated) {
    if (!vc || viewControllers().contains(vc) || vc->presentingViewController())
        return;
    for (UIViewController* up = this; up; up = up->parentViewController()) {
        if (up == vc)
            return; // pushing an enclosing controller would make a loop
    }
    UIViewController* previous = topViewController();
    const bool onScreen = isAppeared();
    if (!vc->parent())
        vc->setParent(this); // a pushed controller nobody holds lives with the stack
    _stack.append(vc);
    addChildViewController(vc);
    if (onScreen && previous)
        previous->beginAppearanceTransition(false, animated);
    if (onScreen)
        vc->beginAppearanceTransition(true, animated);
    if (_content)
        _content->addWidget(vc->view());
    showTop();
    updateNavigationBar();
    if (onScreen && previous)
        previous->endAppearanceTransition(false, animated);
    if (onScreen)
        vc->endAppearanceTransition(true, animated);
}

UIViewController* UINavigationController::popViewControllerAnimated(bool animated) {
    if (viewControllers().size() < 2)
        return nullptr;
    UIViewController* popped = topViewController();
    const bool onScreen = isAppeared();
    _stack.removeAll(popped);
    UIViewController* revealed = topViewController();
    if (onScreen) {
        popped->beginAppearanceTransition(false, animated);
        revealed->beginAppearanceTransition(true, animated);
    }
    if (_content && popped->isViewLoaded()) {
        _content->removeWidget(popped->view());
        popped->view()->hide();
        popped->view()->setParent(nullptr);
    }
    showTop();
    popped->removeFromParentViewController();
    updateNavigationBar();
    if (onScreen) {
        popped->endAppearanceTransition(false, animated);
        revealed->endAppearanceTransition(true, animated);
    }
    releaseLater(popped);
    return popped;
}

void UINavigationController::releaseLater(UIViewController* vc) {
    // A popped controller that the stack held is released once control returns to the event
    // loop, unless it has been pushed again by then.
    QPointer<UIViewController> guard(vc);
    QTimer::singleShot(0, this, [this, guard] {
        if (guard && guard->parent() == this && !guard->parentViewController())
            delete guard.data();
    });
}

void UINavigationController::showTop() {
    UIViewController* top = topViewController();
    if (_content && top)
        _content->setCurrentWidget(top->view());
}

UIViewController* UINavigationController::innermostTopViewController() const {
    UIViewController* top = topViewController();
    while (auto* nav = qobject_cast<UINavigationController*>(top)) {
        if (!nav->topViewController())
            break;
        top = nav->topViewController();
    }
    return top;
}

UINavigationController* UINavigationController::outermost() {
    UINavigationController* nav = this;
    while (UINavigationController* outer = nav->navigationController())
        nav = outer;
    return nav;
}

UINavigationController* UINavigationController::innermostThatCanPop() {
    UINavigationController* found = viewControllers().size() > 1 ? this : nullptr;
    if (auto* inner = qobject_cast<UINavigationController*>(topViewController())) {
        if (UINavigationController* deeper = inner->innermostThatCanPop())
            found = deeper;
    }
    return found;
}

void UINavigationController::didMoveToParentViewController(UIViewController* parent) {
    refreshOwnBar();
    if (parent)
        updateNavigationBar();
}

void UINavigationController::updateNavigationBar() {
    outermost()->refreshOwnBar();
}

void UINavigationController::refreshOwnBar() {
    for (const QMetaObject::Connection& connection : _itemConnections)
        disconnect(connection);
    _itemConnections.clear();
    if (!_bar)
        return; // not loaded yet: the bar is set up when the view loads
    UINavigationBar* bar = _bar;
    if (navigationController()) {
        bar->setVisible(false);
        return;
    }
    bar->setVisible(true);
    UIViewController* top = innermostTopViewController();
    UINavigationController* popper = innermostThatCanPop();
    QString backTitle;
    if (popper) {
        const QList<UIViewController*> list = popper->viewControllers();
        UIViewController* previous = list.at(list.size() - 2);
        backTitle = previous->navigationItem()->title();
        if (backTitle.isEmpty())
            backTitle = QStringLiteral("Back");
    }
    bar->showItem(top ? top->navigationItem() : nullptr, top ? top->title() : QString(), backTitle,
                  popper != nullptr);
    if (top) {
        _itemConnections.append(connect(top->navigationItem(), &UINavigationItem::changed, this,
                                        &UINavigationController::refreshOwnBar));
        _itemConnections.append(connect(top, &UIViewController::titleChanged, this,
                                        &UINavigationController::refreshOwnBar));
    }
}
