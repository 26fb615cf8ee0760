#include "RoundTemplateButton.h"

#include "uikit/UIKeyboardFocus.h"
#include "uikit/UITint.h"

#include <QPainter>
#include <QPainterPath>

RoundTemplateButton::RoundTemplateButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    UIKeyboardFocus::pressOnEnter(this);
}

void RoundTemplateButton::setBackgroundColor(const QColor& color) {
    _background = color;
    update();
}

void RoundTemplateButton::setTemplateImage(const QImage& image) {
    _template = image;
    update();
}

QColor RoundTemplateButton::tintColor() const {
    return UITint::tintColor(this);
}

void RoundTemplateButton::tintColorDidChange() {
    update();
}

QImage RoundTemplateButton::tinted(const QImage& image, const QColor& color) {
    if (image.isNull())
        return QImage();
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(result.rect(), color);
    painter.end();
    return result;
}

QSize RoundTemplateButton::sizeHint() const {
    return QSize(30, 30);
}

bool RoundTemplateButton::hitButton(const QPoint& pos) const {
    // A tap counts inside the circle only, as the masked layer shows it.
    const QPointF centre = QRectF(rect()).center();
    const qreal radius = height() / 2.0;
    const QPointF d = QPointF(pos) + QPointF(0.5, 0.5) - centre;
    return d.x() * d.x() + d.y() * d.y() <= radius * radius;
}

void RoundTemplateButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF bounds = rect();
    const qreal radius = height() / 2.0;
    QPainterPath circle;
    circle.addRoundedRect(bounds, radius, radius);
    painter.setClipPath(circle);
    painter.fillPath(circle, _background);
    if (!_template.isNull()) {
        // The image at its own size, centred and never larger than the button.
        QSizeF size = QSizeF(_template.size()) / _template.devicePixelRatio();
        if (size.width() > bounds.width() || size.height() > bounds.height())
            size = size.scaled(bounds.size(), Qt::KeepAspectRatio);
        QRectF target(QPointF(), size);
        target.moveCenter(bounds.center());
        const QSize pixels = (size * devicePixelRatioF()).toSize();
        if (!pixels.isEmpty()) {
            const QImage scaled =
                _template.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            painter.drawImage(target, tinted(scaled, tintColor()));
        }
    }
    if (isDown())
        painter.fillPath(circle, QColor(0, 0, 0, 50)); // pressed: darker, as a tap shows
}
