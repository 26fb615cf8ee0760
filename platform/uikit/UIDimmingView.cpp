#include "uikit/UIDimmingView.h"

#include "uikit/UIFocusRing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

UIDimmingView::UIDimmingView(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);       // keeps the keyboard away from the covered window
    UIFocusRing::setRingable(this, false); // it holds the focus for the content, is no control
    if (window)
        setGeometry(window->rect());
}

void UIDimmingView::setDimmingColor(const UIColor& color) {
    _dimming = color;
    update();
}

void UIDimmingView::setCard(const QRect& rect, qreal radius, const UIColor& color) {
    _card = rect;
    _cardRadius = radius;
    _cardColor = color;
    update();
}

void UIDimmingView::setSnapshot(const QPixmap& snapshot) {
    _snapshot = snapshot;
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
    const QColor dimming = _dimming.resolvedColorForView(this);
    if (dimming.alpha() > 0)
        painter.fillRect(rect(), dimming);
    if (!_card.isEmpty()) {
        QPainterPath path;
        path.addRoundedRect(QRectF(_card), _cardRadius, _cardRadius);
        painter.fillPath(path, _cardColor.resolvedColorForView(this));
    }
    if (!_snapshot.isNull())
        painter.drawPixmap(0, 0, _snapshot);
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

void UIDimmingView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat()) {
        event->accept();
        emit escapePressed();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool UIDimmingView::focusNextPrevChild(bool next) {
    // What the layer covers is out of reach, as on the device: the focus goes round the
    // layer's own controls, in their tab order, and stays put when there are none.
    // A widget that hands its focus to another (a spin box's field to the spin box) is no
    // stop: going to it would land where the focus already is, and Tab would stay there.
    QList<QWidget*> stops;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() &&
            w->isEnabled() && w->isVisibleTo(this))
            stops.append(w);
    }
    if (stops.isEmpty())
        return true;
    const qsizetype at = stops.indexOf(QApplication::focusWidget());
    const qsizetype count = stops.size();
    const qsizetype to = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    stops.at(to)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
