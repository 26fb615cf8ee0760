#include "uikit/UIDimmingView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

UIDimmingView::UIDimmingView(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus); // keeps the keyboard away from the covered window
    if (window)
        setGeometry(window->rect());
}

void UIDimmingView::setDimmingColor(const QColor& color) {
    _dimming = color;
    update();
}

void UIDimmingView::setCard(const QRect& rect, qreal radius, const QColor& color) {
    _card = rect;
    _cardRadius = radius;
    _cardColor = color;
    update();
}

void UIDimmingView::setLevel(qreal level) {
    _level = qBound(0.0, level, 1.0);
    update();
}

void UIDimmingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setOpacity(_level);
    painter.setRenderHint(QPainter::Antialiasing);
    if (_dimming.alpha() > 0)
        painter.fillRect(rect(), _dimming);
    if (!_card.isEmpty()) {
        QPainterPath path;
        path.addRoundedRect(QRectF(_card), _cardRadius, _cardRadius);
        painter.fillPath(path, _cardColor);
    }
}

void UIDimmingView::mousePressEvent(QMouseEvent* event) {
    event->accept(); // the covered window gets nothing while something is presented
}

void UIDimmingView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!_contentRect.contains(event->position().toPoint()))
        emit tappedOutside();
}

void UIDimmingView::wheelEvent(QWheelEvent* event) {
    event->accept();
}
