#include "uikit/UIFocusRing.h"

#include "uikit/UIFocusRingShape.h"
#include "uikit/UITint.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <cmath>

namespace {

const char* const kUnringable = "_UIFocusRingUnringable";

constexpr qreal kDefaultRadius = 6;

// How light a colour looks (relative luminance, 0 black to 1 white).
qreal luminance(const QColor& c) {
    const auto linear = [](qreal v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

bool isViewport(const QWidget* widget) {
    const auto* area = qobject_cast<const QAbstractScrollArea*>(widget->parentWidget());
    return area && area->viewport() == widget;
}

} // namespace

UIFocusRing::UIFocusRing(QWidget* control) : QWidget(control->window()), _control(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setRingable(this, false);
    connect(control, &QObject::destroyed, this, &QObject::deleteLater);
    watchAncestors();
    place();
}

void UIFocusRing::paint(QPainter& painter, const QRectF& shape, qreal radius, const QColor& tint) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const QColor edge = luminance(tint) < 0.4 ? QColor(Qt::white) : QColor(Qt::black);
    const qreal e = kEdge / 2;
    painter.setPen(QPen(edge, kEdge));
    painter.drawRoundedRect(shape.adjusted(-e, -e, e, e), radius + e, radius + e);
    const qreal b = kEdge + kBand / 2;
    painter.setPen(QPen(tint, kBand));
    painter.drawRoundedRect(shape.adjusted(-b, -b, b, b), radius + b, radius + b);
    painter.restore();
}

QRectF UIFocusRing::shapeOf(const QWidget* control, qreal* radius) {
    if (const auto* shaped = dynamic_cast<const UIFocusRingShape*>(control)) {
        *radius = shaped->focusRingRadius();
        return shaped->focusRingRect();
    }
    *radius = std::min<qreal>(kDefaultRadius, control->height() / 2.0);
    return QRectF(control->rect());
}

void UIFocusRing::setRingable(QWidget* widget, bool ringable) {
    widget->setProperty(kUnringable, ringable ? QVariant() : QVariant(true));
}

bool UIFocusRing::isRingable(const QWidget* widget) {
    return !widget->property(kUnringable).isValid();
}

void UIFocusRing::watchAncestors() {
    for (const QPointer<QWidget>& w : std::as_const(_watched))
        if (w)
            w->removeEventFilter(this);
    _watched.clear();
    // Everything whose move or change of visibility moves the control on screen.
    for (QWidget* w = _control; w && !w->isWindow(); w = w->parentWidget()) {
        w->installEventFilter(this);
        _watched.append(w);
    }
}

QRect UIFocusRing::clipInWindow() const {
    QWidget* window = _control->window();
    QRect clip = window->rect();
    for (QWidget* w = _control->parentWidget(); w && w != window; w = w->parentWidget()) {
        if (isViewport(w))
            clip &= QRect(w->mapTo(window, QPoint(0, 0)), w->size());
    }
    return clip;
}

void UIFocusRing::place() {
    if (!_control) {
        deleteLater();
        return;
    }
    QWidget* window = _control->window();
    if (parentWidget() != window)
        setParent(window);
    qreal radius = 0;
    const QRectF shape = shapeOf(_control, &radius);
    const qreal reach = kReach + 1; // and a pixel for the antialiased edge
    const QRectF around = shape.adjusted(-reach, -reach, reach, reach);
    const QPoint origin = _control->mapTo(window, QPoint(0, 0));
    const QRect area = around.toAlignedRect().translated(origin) & clipInWindow();
    if (!_control->isVisible() || area.isEmpty()) {
        hide();
        return;
    }
    setGeometry(area);
    raise();
    show();
    update();
}

bool UIFocusRing::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        place();
        break;
    case QEvent::ParentChange:
        watchAncestors();
        place();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void UIFocusRing::paintEvent(QPaintEvent*) {
    if (!_control)
        return;
    QPainter painter(this);
    painter.translate(_control->mapTo(window(), QPoint(0, 0)) - pos());
    qreal radius = 0;
    const QRectF shape = shapeOf(_control, &radius);
    // The tint the control sits in, not a colour of its own (a blue info button's): every ring
    // of a pane is in the pane's tint.
    QWidget* surroundings = _control->parentWidget() ? _control->parentWidget() : _control.data();
    paint(painter, shape, radius, UITint::tintColor(surroundings));
}
