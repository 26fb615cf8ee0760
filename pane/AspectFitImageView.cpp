#include "AspectFitImageView.h"

#include <QPainter>

AspectFitImageView::AspectFitImageView(const QImage& image, QWidget* parent)
    : QWidget(parent), _image(image) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void AspectFitImageView::setImage(const QImage& image) {
    _image = image;
    _scaled = QImage();
    updateGeometry();
    update();
}

QRectF AspectFitImageView::imageRect() const {
    if (_image.isNull() || width() <= 0 || height() <= 0)
        return QRectF();
    const QSizeF fitted = QSizeF(_image.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    QRectF rect(QPointF(), fitted);
    rect.moveCenter(QRectF(QPointF(), QSizeF(size())).center());
    return rect;
}

QSize AspectFitImageView::sizeHint() const {
    if (_image.isNull())
        return QSize(0, 0);
    return (QSizeF(_image.size()) / _image.devicePixelRatio()).toSize();
}

void AspectFitImageView::paintEvent(QPaintEvent*) {
    const QRectF target = imageRect();
    if (target.isEmpty())
        return;
    // Scaling once to the exact device pixels keeps a large source sharp and unaliased; the
    // painter's own bilinear scaling would shimmer at ratios beyond two.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (target.size() * ratio).toSize();
    if (pixels.isEmpty())
        return;
    if (_scaled.size() != pixels)
        _scaled = _image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, _scaled);
}
