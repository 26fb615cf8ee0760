#include "uikit/PresentationEffect.h"

#include <QPainter>

PresentationEffect::PresentationEffect(QObject* parent) : QGraphicsEffect(parent) {}

void PresentationEffect::setProgress(qreal opacity, qreal scale) {
    if (opacity == _opacity && scale == _scale)
        return;
    const bool grows = scale != _scale;
    _opacity = opacity;
    _scale = scale;
    if (grows)
        updateBoundingRect(); // what is repainted follows the drawn size
    update();
}

QRectF PresentationEffect::boundingRectFor(const QRectF& rect) const {
    const qreal factor = std::max<qreal>(1, _scale);
    QRectF grown(QPointF(), rect.size() * factor);
    grown.moveCenter(rect.center());
    return grown;
}

void PresentationEffect::draw(QPainter* painter) {
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, NoPad);
    if (pixmap.isNull() || _opacity <= 0)
        return;
    const QRectF drawn(offset, pixmap.deviceIndependentSize());
    painter->save();
    painter->setOpacity(painter->opacity() * _opacity);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->translate(drawn.center());
    painter->scale(_scale, _scale);
    painter->translate(-drawn.center());
    painter->drawPixmap(drawn.topLeft(), pixmap);
    painter->restore();
}
