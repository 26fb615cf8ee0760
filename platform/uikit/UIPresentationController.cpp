#include "uikit/UIPresentationController.h"

#include "uikit/UIColor.h"
#include "uikit/UIDimmingView.h"
#include "uikit/UIViewController.h"

#include <QApplication>
#include <QEvent>
#include <QPropertyAnimation>
#include <QWidget>

namespace {
constexpr int kSheetTop = 57; // status area and a gap, as a sheet leaves on the device
constexpr qreal kSheetRadius = 10;
} // namespace

UIPresentationController::UIPresentationController(UIViewController* presented,
                                                   UIViewController* presenting, Layout layout)
    : QObject(presented), _presented(presented), _presenting(presenting), _layout(layout) {}

UIPresentationController::~UIPresentationController() {
    tearDown();
}

QWidget* UIPresentationController::presentedView() const {
    return _presented ? _presented->view() : nullptr;
}

UIViewController* UIPresentationController::appearanceRoot() const {
    UIViewController* root = _presenting;
    while (root && root->parentViewController())
        root = root->parentViewController();
    return root;
}

void UIPresentationController::present(bool animated) {
    if (!_presented || !_presenting)
        return;
    tearDown(); // a layer still fading out from the last time goes at once
    _window = _presenting->view()->window();
    _container = new UIDimmingView(_window);
    _window->installEventFilter(this);
    connect(_container, &UIDimmingView::tappedOutside, this, [this] {
        if (dismissesOnOutsideTap() && _presented)
            _presented->dismissViewControllerAnimated(true);
    });
    _presentedNow = true;
    prepareContainer();
    if (_layout != Layout::FullScreen) {
        // Raised above the window, as on the device; Qt's own widgets inside (the colour
        // picker's) fill with the raised background rather than the window's.
        UITraitCollection::setElevated(_container);
        UIColor::setPaletteColor(_container, QPalette::Window, UIColor::systemBackgroundColor());
    }
    layoutContainer();

    UIViewController* covered = _layout == Layout::FullScreen ? appearanceRoot() : nullptr;
    _presented->beginAppearanceTransition(true, animated);
    if (covered)
        covered->beginAppearanceTransition(false, animated);
    _container->show();
    _container->raise();
    takeFocus();
    if (animated)
        fade(true);
    if (covered)
        covered->endAppearanceTransition(false, animated);
    _presented->endAppearanceTransition(true, animated);
}

void UIPresentationController::dismiss(bool animated) {
    if (!_presentedNow)
        return;
    _presentedNow = false;
    giveFocusBack();
    UIViewController* covered = _layout == Layout::FullScreen ? appearanceRoot() : nullptr;
    if (_presented)
        _presented->beginAppearanceTransition(false, animated);
    if (covered)
        covered->beginAppearanceTransition(true, animated);
    if (covered)
        covered->endAppearanceTransition(true, animated);
    if (_presented)
        _presented->endAppearanceTransition(false, animated);
    if (animated && _container && _container->isVisible())
        fade(false);
    else
        tearDown();
}

void UIPresentationController::takeFocus() {
    QWidget* focus = QApplication::focusWidget();
    if (focus && _window && _window->isAncestorOf(focus) && !_container->isAncestorOf(focus))
        _focusBefore = focus;
    // The presented content takes the keyboard; its controller may hand it on once it has
    // appeared (an alert to its first text field).
    QWidget* content = presentedView();
    if (content && _container->isAncestorOf(content))
        content->setFocus(Qt::OtherFocusReason);
    else
        _container->setFocus(Qt::OtherFocusReason);
}

void UIPresentationController::giveFocusBack() {
    // Before the layer hides: a focused widget that hides passes the focus down the window's
    // chain, which would land on the first control of the list and scroll it there.
    QWidget* focus = QApplication::focusWidget();
    if (!_container || !focus || !_container->isAncestorOf(focus))
        return;
    if (_focusBefore && _focusBefore->isVisible() && _focusBefore->isEnabled())
        _focusBefore->setFocus(Qt::OtherFocusReason);
    else if (_window)
        _window->setFocus(Qt::OtherFocusReason);
}

void UIPresentationController::prepareContainer() {
    QWidget* view = presentedView();
    if (!view || !_container)
        return;
    switch (_layout) {
    case Layout::FullScreen:
        _container->setDimmingColor(UIColor::systemBackgroundColor());
        break;
    case Layout::Sheet:
        _container->setDimmingColor(UIColor(QColor(0, 0, 0, 102), QColor(0, 0, 0, 122)));
        break;
    case Layout::Centered:
        _container->setDimmingColor(UIColor(QColor(0, 0, 0, 51), QColor(0, 0, 0, 122)));
        break;
    }
    view->setParent(_container);
    view->show();
}

void UIPresentationController::layoutContainer() {
    QWidget* view = presentedView();
    if (!view || !_container || !_window)
        return;
    _container->setGeometry(_window->rect());
    const QRect bounds = _container->rect();
    QRect frame = bounds;
    if (_layout == Layout::Sheet) {
        const QRect card = bounds.adjusted(0, kSheetTop, 0, int(kSheetRadius));
        _container->setCard(card, kSheetRadius, UIColor::systemBackgroundColor());
        frame = card.adjusted(0, int(kSheetRadius), 0, -int(kSheetRadius));
    } else if (_layout == Layout::Centered) {
        QSize size = _presented->preferredContentSize();
        if (!size.isValid() || size.isEmpty())
            size = view->sizeHint();
        size = size.boundedTo(bounds.size());
        frame = QRect(QPoint(0, 0), size);
        frame.moveCenter(bounds.center());
    }
    view->setGeometry(frame);
    _container->setContentRect(_layout == Layout::Sheet ? bounds.adjusted(0, kSheetTop, 0, 0)
                                                        : frame);
}

void UIPresentationController::fade(bool in) {
    // Only the layer's own dimming fades: an opacity effect over the presented widgets would
    // render them through an off-screen buffer, slowly and, for scroll areas, wrongly.
    auto* animation = new QPropertyAnimation(_container, "level", _container);
    animation->setDuration(kFadeMilliseconds);
    animation->setStartValue(in ? 0.0 : 1.0);
    animation->setEndValue(in ? 1.0 : 0.0);
    if (!in) {
        detachPresentedView();
        for (QWidget* child : _container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->hide();
        _container->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPointer<UIDimmingView> container = _container;
        connect(animation, &QPropertyAnimation::finished, this, [this, container] {
            if (container && container == _container)
                tearDown();
            else
                delete container.data();
        });
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void UIPresentationController::detachPresentedView() {
    // The presented view outlives the layer: its controller may be presented again. It waits
    // hidden in the window rather than on its own: there it keeps the palette it inherits, so
    // the next presentation finds the style's cached drawings for it instead of adding a new
    // set (the cache holds every palette's set) each time.
    QWidget* view = _presented && _presented->isViewLoaded() ? _presented->view() : nullptr;
    if (view && _container && _container->isAncestorOf(view)) {
        view->hide();
        view->setParent(_window);
    }
}

void UIPresentationController::tearDown() {
    if (_window)
        _window->removeEventFilter(this);
    if (!_container)
        return;
    detachPresentedView();
    delete _container.data();
}

bool UIPresentationController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _window && event->type() == QEvent::Resize && _container)
        layoutContainer();
    return QObject::eventFilter(watched, event);
}
