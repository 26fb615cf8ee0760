#include "cells/QEVColorSwatch.h"

QEVColorSwatch::QEVColorSwatch(QObject* parent) : QObject(parent) {}

void QEVColorSwatch::setFillColor(const QColor& color) {
    // An invalid colour would paint nothing at all; the swatch shows black instead.
    const QColor fill = color.isValid() ? color : QColor(Qt::black);
    if (fill == _fillColor)
        return;
    _fillColor = fill;
    emit fillColorChanged();
}

QPainterPath QEVColorSwatch::path() {
    QPainterPath path;
    const QRectF r = rect();
    path.addRoundedRect(r, r.width() / 2, r.height() / 2);
    return path;
}
