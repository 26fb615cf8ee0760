#include "uikit/UIPresentationController.h"

#include "uikit/PresentationEffect.h"
#include "uikit/UIColor.h"
#include "uikit/UIDimmingView.h"
#include "uikit/UIViewController.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QVariantAnimation>
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
    // Escape that no control of the content took means what a tap beside the content means.
    const auto outside = [this] {
        if (dismissesOnOutsideTap() && _presented)
            _presented->dismissViewControllerAnimated(true);
    };
    connect(_container, &UIDimmingView::tappedOutside, this, outside);
    connect(_container, &UIDimmingView::escapePressed, this, outside);
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
        animateIn();
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
        animateOut();
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

QList<QWidget*> UIPresentationController::layerContent() const {
    // What the layer shows above its own dimming: the presented view or the bubble holding it.
    return _container ? _container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)
                      : QList<QWidget*>();
}

void UIPresentationController::animateIn() {
    // The content is live from the first frame (it has the keyboard already); only how it is
    // drawn changes: it fades in, an alert also shrinks from a little larger to its size.
    const bool scaled = appearsScaled();
    QList<QPointer<PresentationEffect>> effects;
    for (QWidget* content : layerContent()) {
        auto* effect = new PresentationEffect(content);
        content->setGraphicsEffect(effect);
        effects.append(effect);
    }
    auto* animation = new QVariantAnimation(_container);
    animation->setObjectName(QStringLiteral("appear"));
    animation->setDuration(scaled ? kAlertAppearMilliseconds : kAppearMilliseconds);
    animation->setEasingCurve(QEasingCurve::OutCubic); // quick at first, settling gently
    const auto show = [this, effects, scaled](qreal t) {
        if (_container)
            _container->setLevel(t);
        for (const QPointer<PresentationEffect>& effect : effects) {
            if (effect)
                effect->setProgress(t, scaled ? kAlertStartScale + (1 - kAlertStartScale) * t : 1);
        }
    };
    show(0);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [show](const QVariant& t) { show(t.toReal()); });
    connect(animation, &QVariantAnimation::finished, this, [this] { clearEffects(); });
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void UIPresentationController::animateOut() {
    // An appearance still running stops where it got to, and the fade starts from there.
    const qreal from = _container->level();
    for (auto* appearing : _container->findChildren<QVariantAnimation*>()) {
        appearing->disconnect(this);
        delete appearing;
    }
    clearEffects();
    _container->setLevel(from);
    // The layer fades as a picture of itself: its content is gone already, so no click or key
    // reaches it on the way out.
    _container->setSnapshot(contentSnapshot());
    detachPresentedView();
    for (QWidget* content : layerContent())
        content->hide();
    _container->setAttribute(Qt::WA_TransparentForMouseEvents);
    _container->setFocusPolicy(Qt::NoFocus);

    auto* animation = new QVariantAnimation(_container);
    animation->setObjectName(QStringLiteral("disappear"));
    animation->setDuration(std::max(1, int(kFadeMilliseconds * from)));
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(from);
    animation->setEndValue(0.0);
    QPointer<UIDimmingView> container = _container;
    connect(animation, &QVariantAnimation::valueChanged, container,
            [container](const QVariant& level) { container->setLevel(level.toReal()); });
    connect(animation, &QVariantAnimation::finished, this, [this, container] {
        if (container && container == _container)
            tearDown();
        else
            delete container.data();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

QPixmap UIPresentationController::contentSnapshot() const {
    const qreal ratio = _container->devicePixelRatioF();
    QPixmap snapshot(_container->size() * ratio);
    snapshot.setDevicePixelRatio(ratio);
    snapshot.fill(Qt::transparent);
    QPainter painter(&snapshot);
    for (QWidget* content : layerContent()) {
        if (content->isVisible())
            content->render(&painter, content->pos(), QRegion(), QWidget::DrawChildren);
    }
    return snapshot;
}

void UIPresentationController::clearEffects() {
    for (QWidget* content : layerContent()) {
        if (qobject_cast<PresentationEffect*>(content->graphicsEffect()))
            content->setGraphicsEffect(nullptr);
    }
    if (_container)
        _container->setLevel(1);
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
    clearEffects(); // the presented view may be shown again, drawn plainly
    detachPresentedView();
    delete _container.data();
}

bool UIPresentationController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _window && event->type() == QEvent::Resize && _container)
        layoutContainer();
    return QObject::eventFilter(watched, event);
}
