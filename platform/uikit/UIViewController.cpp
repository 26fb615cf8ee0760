#include "uikit/UIViewController.h"

#include "uikit/UIDimmingView.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIPopoverPresentationController.h"
#include "uikit/UIPopoverView.h"
#include "uikit/UIPresentationController.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace {
const char* const kOwner = "_UIViewController";
}

UIViewController::UIViewController(QObject* parent) : QObject(parent) {}

UIViewController::~UIViewController() {
    if (_presented && _presented->_presentationController)
        _presented->_presentationController->tearDown();
    if (_presentationController)
        _presentationController->tearDown();
    delete _view.data();
}

QWidget* UIViewController::view() {
    if (!_view && !_loading) {
        _loading = true;
        loadView();
        if (!_view)
            setView(new QWidget);
        _loading = false;
        viewDidLoad();
    }
    return _view;
}

bool UIViewController::isViewLoaded() const {
    return !_view.isNull();
}

void UIViewController::loadView() {
    setView(new QWidget);
}

void UIViewController::setView(QWidget* view) {
    if (_view == view)
        return;
    if (_view) {
        _view->setProperty(kOwner, QVariant());
        _view->removeEventFilter(this);
    }
    _view = view;
    if (_view) {
        _view->setProperty(kOwner, QVariant::fromValue(static_cast<QObject*>(this)));
        _view->installEventFilter(this);
    }
}

void UIViewController::viewDidLoad() {}
void UIViewController::viewWillAppear(bool) {}
void UIViewController::viewDidAppear(bool) {}
void UIViewController::viewWillDisappear(bool) {}
void UIViewController::viewDidDisappear(bool) {}

QString UIViewController::title() const {
    return _title;
}

void UIViewController::setTitle(const QString& title) {
    if (title == _title)
        return;
    _title = title;
    navigationItem()->setTitle(title);
    emit titleChanged();
}

UINavigationItem* UIViewController::navigationItem() {
    if (!_navigationItem)
        _navigationItem = new UINavigationItem(this);
    return _navigationItem;
}

UINavigationController* UIViewController::navigationController() const {
    for (UIViewController* vc = _parentViewController; vc; vc = vc->_parentViewController) {
        if (auto* nav = qobject_cast<UINavigationController*>(vc))
            return nav;
    }
    return nullptr;
}

UIViewController* UIViewController::parentViewController() const {
    return _parentViewController;
}

QList<UIViewController*> UIViewController::childViewControllers() const {
    QList<UIViewController*> children;
    for (const QPointer<UIViewController>& child : _children) {
        if (child)
            children.append(child);
    }
    return children;
}

void UIViewController::addChildViewController(UIViewController* child) {
    if (!child || child == this || child->_parentViewController == this)
        return;
    child->removeFromParentViewController();
    _children.append(child);
    child->setParentViewController(this);
}

void UIViewController::removeFromParentViewController() {
    if (!_parentViewController)
        return;
    _parentViewController->_children.removeAll(this);
    setParentViewController(nullptr);
}

void UIViewController::setParentViewController(UIViewController* parent) {
    _parentViewController = parent;
    didMoveToParentViewController(parent);
}

void UIViewController::didMoveToParentViewController(UIViewController*) {}

QList<UIViewController*> UIViewController::appearingChildren() const {
    return childViewControllers();
}

void UIViewController::beginAppearanceTransition(bool appearing, bool animated) {
    if (appearing) {
        if (_appearance == Appearance::Appeared || _appearance == Appearance::Appearing)
            return;
        view();
        _appearance = Appearance::Appearing;
        viewWillAppear(animated);
    } else {
        if (_appearance == Appearance::Disappeared || _appearance == Appearance::Disappearing)
            return;
        _appearance = Appearance::Disappearing;
        viewWillDisappear(animated);
    }
    for (UIViewController* child : appearingChildren())
        child->beginAppearanceTransition(appearing, animated);
}

void UIViewController::endAppearanceTransition(bool appearing, bool animated) {
    const Appearance from = appearing ? Appearance::Appearing : Appearance::Disappearing;
    if (_appearance != from)
        return;
    _appearance = appearing ? Appearance::Appeared : Appearance::Disappeared;
    if (appearing)
        viewDidAppear(animated);
    else
        viewDidDisappear(animated);
    for (UIViewController* child : appearingChildren())
        child->endAppearanceTransition(appearing, animated);
}

void UIViewController::transitionAppearance(bool appearing, bool animated) {
    beginAppearanceTransition(appearing, animated);
    endAppearanceTransition(appearing, animated);
}

bool UIViewController::eventFilter(QObject* watched, QEvent* event) {
    // A controller at the root of its hierarchy follows its view on and off the screen;
    // contained and presented ones are driven by their container or presenter.
    if (watched == _view && !event->spontaneous() && !_parentViewController && !_presenting) {
        if (event->type() == QEvent::Show)
            transitionAppearance(true, false);
        else if (event->type() == QEvent::Hide)
            transitionAppearance(false, false);
    }
    return QObject::eventFilter(watched, event);
}

UIViewController* UIViewController::viewControllerForView(QWidget* view) {
    for (QWidget* w = view; w; w = w->parentWidget()) {
        QObject* owner = w->property(kOwner).value<QObject*>();
        if (auto* vc = qobject_cast<UIViewController*>(owner))
            return vc;
    }
    return nullptr;
}

// Presentation

void UIViewController::presentViewController(UIViewController* vc, bool animated,
                                             std::function<void()> completion) {
    // One at a time, and never a controller that is shown elsewhere already.
    if (!vc || vc == this || _presented || vc->_presenting || vc->_parentViewController)
        return;
    UIPresentationController* presentation = vc->preparePresentationController(this);
    _presented = vc;
    vc->_presenting = this;
    presentation->present(animated);
    if (completion)
        completion();
}

void UIViewController::dismissViewControllerAnimated(bool animated,
                                                     std::function<void()> completion) {
    UIViewController* target = _presented ? _presented.data() : (_presenting ? this : nullptr);
    if (target) {
        if (target->_presented) // whatever the dismissed one presents goes with it
            target->dismissViewControllerAnimated(false);
        UIPresentationController* presentation = target->_presentationController;
        if (target->_presenting)
            target->_presenting->_presented = nullptr;
        target->_presenting = nullptr;
        if (presentation)
            presentation->dismiss(animated);
    }
    if (completion)
        completion();
}

UIPresentationController*
UIViewController::preparePresentationController(UIViewController* presenting) {
    if (_modalPresentationStyle == UIModalPresentationStyle::Popover) {
        UIPopoverPresentationController* popover = popoverPresentationController();
        popover->setPresentingViewController(presenting);
        return popover;
    }
    if (_presentationController)
        _presentationController->deleteLater();
    _presentationController = makePresentationController(presenting);
    return _presentationController;
}

UIPresentationController*
UIViewController::makePresentationController(UIViewController* presenting) {
    return new UIPresentationController(this, presenting,
                                        UIPresentationController::Layout::FullScreen);
}

UIViewController* UIViewController::presentedViewController() const {
    return _presented;
}
UIViewController* UIViewController::presentingViewController() const {
    return _presenting;
}

UIModalPresentationStyle UIViewController::modalPresentationStyle() const {
    return _modalPresentationStyle;
}

void UIViewController::setModalPresentationStyle(UIModalPresentationStyle style) {
    _modalPresentationStyle = style;
}

QSize UIViewController::preferredContentSize() const {
    return _preferredContentSize;
}
void UIViewController::setPreferredContentSize(QSize size) {
    _preferredContentSize = size;
}

UIPopoverPresentationController* UIViewController::popoverPresentationController() {
    if (_modalPresentationStyle != UIModalPresentationStyle::Popover)
        return nullptr;
    auto* popover = qobject_cast<UIPopoverPresentationController*>(_presentationController);
    if (!popover) {
        if (_presentationController && !_presenting)
            _presentationController->deleteLater();
        popover = new UIPopoverPresentationController(this);
        _presentationController = popover;
    }
    return popover;
}
