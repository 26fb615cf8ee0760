#include "uikit/UIPopoverPresentationController.h"

#include "uikit/UIBarButtonItem.h"
#include "uikit/UIDimmingView.h"
#include "uikit/UIPopoverView.h"
#include "uikit/UIViewController.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <array>

UIPopoverPresentationController::UIPopoverPresentationController(UIViewController* presented)
    : UIPresentationController(presented, nullptr, Layout::Centered) {}

void UIPopoverPresentationController::setDelegate(
    UIPopoverPresentationControllerDelegate* delegate) {
    _delegate = delegate;
    _delegateObject = dynamic_cast<QObject*>(delegate);
}

UIPopoverPresentationControllerDelegate* UIPopoverPresentationController::delegate() const {
    if (_delegate && dynamic_cast<QObject*>(_delegate) != nullptr && !_delegateObject)
        return nullptr; // a QObject delegate that has gone
    return _delegate;
}

void UIPopoverPresentationController::setBarButtonItem(UIBarButtonItem* item) {
    _barButtonItem = item;
}

UIBarButtonItem* UIPopoverPresentationController::barButtonItem() const {
    return _barButtonItem;
}

void UIPopoverPresentationController::setSourceView(QWidget* view) {
    _sourceView = view;
}

QWidget* UIPopoverPresentationController::sourceView() const {
    return _sourceView;
}

void UIPopoverPresentationController::setBackgroundColor(const UIColor& color) {
    _backgroundColor = color.isValid() ? color : UIColor::systemBackgroundColor();
    if (_popup)
        _popup->setBackgroundColor(_backgroundColor);
}

UIPopoverArrowDirection UIPopoverPresentationController::arrowDirection() const {
    return _popup ? _popup->arrowDirection() : UIPopoverArrowDirectionUnknown;
}

bool UIPopoverPresentationController::staysPopover(QWidget* window) {
    if (!window || window->width() >= kCompactWidth)
        return true;
    UIPopoverPresentationControllerDelegate* answerer = delegate();
    if (!answerer)
        return false;
    const UIModalPresentationStyle style =
        answerer->adaptivePresentationStyleForPresentationController(this);
    return style == UIModalPresentationStyle::None || style == UIModalPresentationStyle::Popover;
}

void UIPopoverPresentationController::prepareContainer() {
    UIDimmingView* container = containerView();
    QWidget* content = presentedView();
    if (!container || !content)
        return;
    if (!staysPopover(container->parentWidget())) {
        setLayout(Layout::Sheet);
        UIPresentationController::prepareContainer();
        return;
    }
    setLayout(Layout::Centered);
    container->setDimmingColor(QColor(Qt::transparent));
    _popup = new UIPopoverView(container);
    _popup->setBackgroundColor(_backgroundColor);
    _popup->setContent(content);
    _popup->show();
    watchAnchor();
}

QWidget* UIPopoverPresentationController::anchorView() const {
    if (QWidget* item = _barButtonItem ? _barButtonItem->customView() : nullptr)
        return item;
    return _sourceView;
}

void UIPopoverPresentationController::watchAnchor() {
    for (const QPointer<QWidget>& w : std::as_const(_watched)) {
        if (w)
            w->removeEventFilter(this);
    }
    _watched.clear();
    UIDimmingView* container = containerView();
    QWidget* window = container ? container->parentWidget() : nullptr;
    for (QWidget* w = anchorView(); w && w != window; w = w->parentWidget()) {
        w->installEventFilter(this);
        _watched.append(w);
    }
}

bool UIPopoverPresentationController::eventFilter(QObject* watched, QEvent* event) {
    // The window's own resize comes before its views are laid out again; the anchor's move
    // (or that of a view it sits in) is when the bubble must follow. The type is asked first:
    // a view being destroyed passes through here too, and may not be read as a popup.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Move || type == QEvent::Resize) && _popup &&
        std::any_of(_watched.cbegin(), _watched.cend(),
                    [watched](const QPointer<QWidget>& w) { return w == watched; }))
        layoutContainer();
    return UIPresentationController::eventFilter(watched, event);
}

QRect UIPopoverPresentationController::anchorRect() const {
    UIDimmingView* container = containerView();
    QWidget* window = container ? container->parentWidget() : nullptr;
    QWidget* anchor = _barButtonItem ? _barButtonItem->customView() : nullptr;
    QRect rect;
    if (anchor && window && window->isAncestorOf(anchor)) {
        rect = anchor->rect();
    } else if (_sourceView && window && window->isAncestorOf(_sourceView)) {
        anchor = _sourceView;
        rect = _sourceRect.isValid() ? _sourceRect : _sourceView->rect();
    } else {
        return container ? QRect(container->rect().center(), QSize(1, 1)) : QRect();
    }
    return QRect(anchor->mapTo(window, rect.topLeft()), rect.size());
}

void UIPopoverPresentationController::layoutContainer() {
    if (!_popup) {
        UIPresentationController::layoutContainer();
        return;
    }
    UIDimmingView* container = containerView();
    QWidget* window = container->parentWidget();
    container->setGeometry(window->rect());
    const QRect bounds =
        container->rect().adjusted(kScreenMargin, kScreenMargin, -kScreenMargin, -kScreenMargin);
    const QRect anchor = anchorRect();
    QSize size = presentedViewController()->preferredContentSize();
    if (!size.isValid() || size.isEmpty())
        size = presentedView()->sizeHint().expandedTo(QSize(100, 44));
    size = size.boundedTo(bounds.size());
    const int arrow = UIPopoverView::kArrowHeight;
    // The arrow may run into the rounded corner a little, as on the device, but not past it.
    const int inset = UIPopoverView::kArrowBase / 2 + 2;

    // Room on each side of the anchor, in the order the device tries them.
    struct Side {
        UIPopoverArrowDirection direction;
        int room;
        int need;
    };
    const std::array<Side, 4> sides{{
        {UIPopoverArrowDirectionUp, bounds.bottom() - anchor.bottom() - arrow, size.height()},
        {UIPopoverArrowDirectionDown, anchor.top() - bounds.top() - arrow, size.height()},
        {UIPopoverArrowDirectionLeft, bounds.right() - anchor.right() - arrow, size.width()},
        {UIPopoverArrowDirectionRight, anchor.left() - bounds.left() - arrow, size.width()},
    }};
    const Side* chosen = nullptr;
    for (const Side& side : sides) {
        if (!(_permitted & side.direction))
            continue;
        if (side.room >= side.need) {
            chosen = &side;
            break;
        }
        if (!chosen || side.room > chosen->room)
            chosen = &side;
    }

    QRect body(QPoint(0, 0), size);
    QPoint tip;
    UIPopoverArrowDirection direction = chosen ? chosen->direction : UIPopoverArrowDirectionUnknown;
    const auto clampX = [&](int x) {
        return qBound(bounds.left(), x, bounds.right() - size.width() + 1);
    };
    const auto clampY = [&](int y) {
        return qBound(bounds.top(), y, bounds.bottom() - size.height() + 1);
    };
    switch (direction) {
    case UIPopoverArrowDirectionUp:
        tip = QPoint(anchor.center().x(), anchor.bottom() + 1);
        body.moveTopLeft(QPoint(clampX(tip.x() - size.width() / 2), tip.y() + arrow));
        tip.setX(qBound(body.left() + inset, tip.x(), body.right() - inset));
        break;
    case UIPopoverArrowDirectionDown:
        tip = QPoint(anchor.center().x(), anchor.top());
        body.moveTopLeft(
            QPoint(clampX(tip.x() - size.width() / 2), tip.y() - arrow - size.height()));
        tip.setX(qBound(body.left() + inset, tip.x(), body.right() - inset));
        break;
    case UIPopoverArrowDirectionLeft:
        tip = QPoint(anchor.right() + 1, anchor.center().y());
        body.moveTopLeft(QPoint(tip.x() + arrow, clampY(tip.y() - size.height() / 2)));
        tip.setY(qBound(body.top() + inset, tip.y(), body.bottom() - inset));
        break;
    case UIPopoverArrowDirectionRight:
        tip = QPoint(anchor.left(), anchor.center().y());
        body.moveTopLeft(
            QPoint(tip.x() - arrow - size.width(), clampY(tip.y() - size.height() / 2)));
        tip.setY(qBound(body.top() + inset, tip.y(), body.bottom() - inset));
        break;
    default: // no arrow: over the middle of the anchor
        body.moveCenter(anchor.center());
        body.moveTopLeft(QPoint(clampX(body.left()), clampY(body.top())));
        break;
    }
    _popup->place(body, direction, tip);
    container->setContentRect(_popup->geometry().marginsRemoved(
        QMargins(UIPopoverView::kShadowMargin, UIPopoverView::kShadowMargin,
                 UIPopoverView::kShadowMargin, UIPopoverView::kShadowMargin)));
}
