#include "uikit/UIPopoverView.h"

#include <QPainter>
#include <QRegion>

UIPopoverView::UIPopoverView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void UIPopoverView::setContent(QWidget* content) {
    _content = content;
    if (_content) {
        _content->setParent(this);
        _content->show();
    }
}

void UIPopoverView::setBackgroundColor(const UIColor& color) {
    _background = color.isValid() ? color : UIColor::systemBackgroundColor();
    update();
}

void UIPopoverView::place(const QRect& body, UIPopoverArrowDirection direction, QPoint arrowTip) {
    _direction = direction;
    QRect outer = body;
    switch (direction) {
    case UIPopoverArrowDirectionUp:
        outer.setTop(body.top() - kArrowHeight);
        break;
    case UIPopoverArrowDirectionDown:
        outer.setBottom(body.bottom() + kArrowHeight);
        break;
    case UIPopoverArrowDirectionLeft:
        outer.setLeft(body.left() - kArrowHeight);
        break;
    case UIPopoverArrowDirectionRight:
        outer.setRight(body.right() + kArrowHeight);
        break;
    default:
        break;
    }
    outer.adjust(-kShadowMargin, -kShadowMargin, kShadowMargin, kShadowMargin);
    setGeometry(outer);
    _body = body.translated(-outer.topLeft());
    _tip = arrowTip - outer.topLeft();
    if (_content) {
        _content->setGeometry(_body);
        QPainterPath corners;
        corners.addRoundedRect(QRectF(0, 0, _body.width(), _body.height()), kCornerRadius,
                               kCornerRadius);
        _content->setMask(QRegion(corners.toFillPolygon().toPolygon()));
    }
    update();
}

QRect UIPopoverView::bodyGeometry() const {
    return _body.translated(pos());
}

QPoint UIPopoverView::arrowTip() const {
    return _tip + pos();
}

QPainterPath UIPopoverView::bubblePath() const {
    QPainterPath path;
    path.addRoundedRect(QRectF(_body), kCornerRadius, kCornerRadius);
    if (_direction == UIPopoverArrowDirectionUnknown)
        return path;
    const qreal half = kArrowBase / 2.0;
    const QPointF tip = _tip;
    QPointF a, b;
    switch (_direction) {
    case UIPopoverArrowDirectionUp:
        a = QPointF(tip.x() - half, _body.top() + 1);
        b = QPointF(tip.x() + half, _body.top() + 1);
        break;
    case UIPopoverArrowDirectionDown:
        a = QPointF(tip.x() - half, _body.bottom());
        b = QPointF(tip.x() + half, _body.bottom());
        break;
    case UIPopoverArrowDirectionLeft:
        a = QPointF(_body.left() + 1, tip.y() - half);
        b = QPointF(_body.left() + 1, tip.y() + half);
        break;
    default:
        a = QPointF(_body.right(), tip.y() - half);
        b = QPointF(_body.right(), tip.y() + half);
        break;
    }
    // Curved flanks meeting in a slightly rounded tip, as the device draws its arrow.
    QPainterPath arrow;
    arrow.moveTo(a);
    const QPointF midA = a + (tip - a) * 0.55;
    const QPointF midB = b + (tip - b) * 0.55;
    arrow.cubicTo(a + (midA - a) * 0.6, midA, tip + (a - tip) * 0.12);
    arrow.quadTo(tip, tip + (b - tip) * 0.12);
    arrow.cubicTo(midB, b + (midB - b) * 0.6, b);
    arrow.closeSubpath();
    return path.united(arrow);
}

void UIPopoverView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = bubblePath();
    // A soft shadow: the outline widened in faint steps.
    painter.setBrush(Qt::NoBrush);
    for (int i = kShadowMargin; i > 0; i -= 2) {
        const qreal fall = 1.0 - qreal(i) / kShadowMargin;
        painter.setPen(QPen(QColor(0, 0, 0, int(10 * fall * fall)), i * 2.0, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(_background.resolvedColorForView(this));
    painter.drawPath(path);
}
