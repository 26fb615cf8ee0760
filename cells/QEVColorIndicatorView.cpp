#include "cells/QEVColorIndicatorView.h"

#include "cells/QEVColorSwatch.h"

#include <QPainter>
#include <QVariantAnimation>
#include <array>

namespace {

// The ring's colours from its first stop around to its last.
const std::array<QColor, 9> kRingColors = {
    QColor::fromRgbF(1.0, 1.0, 0.0), // yellow
    QColor::fromRgbF(0.0, 1.0, 0.0), // green
    QColor::fromRgbF(0.0, 1.0, 1.0), // cyan
    QColor::fromRgbF(0.0, 0.0, 1.0), // blue
    QColor::fromRgbF(0.5, 0.0, 0.5), // purple
    QColor::fromRgbF(1.0, 0.0, 1.0), // magenta
    QColor::fromRgbF(1.0, 0.0, 0.0), // red
    QColor::fromRgbF(1.0, 0.5, 0.0), // orange
    QColor::fromRgbF(1.0, 1.0, 0.0), // yellow
};

std::array<float, 4> premultiplied(const QColor& c) {
    const float a = c.alphaF();
    return {c.redF() * a, c.greenF() * a, c.blueF() * a, a};
}

// Blends two colours as a cross-dissolve of two layers does: premultiplied, linear in t.
QColor dissolve(const QColor& from, const QColor& to, qreal t) {
    const std::array<float, 4> a = premultiplied(from);
    const std::array<float, 4> b = premultiplied(to);
    std::array<float, 4> m{};
    for (size_t i = 0; i < m.size(); ++i)
        m[i] = float(a[i] + (b[i] - a[i]) * t);
    if (m[3] <= 0)
        return QColor(0, 0, 0, 0);
    return QColor::fromRgbF(m[0] / m[3], m[1] / m[3], m[2] / m[3], m[3]);
}

} // namespace

QEVColorIndicatorView::QEVColorIndicatorView(QWidget* parent)
    : QWidget(parent), _swatch(new QEVColorSwatch(this)) {
    setFixedSize(kSize, kSize);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TransparentForMouseEvents); // a tap on it selects the row
    connect(_swatch, &QEVColorSwatch::fillColorChanged, this,
            &QEVColorIndicatorView::swatchChanged);
}

void QEVColorIndicatorView::swatchChanged() {
    // A fill set outside a transition shows at once.
    if (!_changing && _transition)
        _transition->stop();
    update();
}

void QEVColorIndicatorView::transition(int durationMs, const std::function<void()>& change) {
    const QColor before = displayedSwatchColor();
    _changing = true;
    change();
    _changing = false;
    if (durationMs <= 0 || before == _swatch->fillColor()) {
        if (_transition)
            _transition->stop();
        update();
        return;
    }
    if (!_transition) {
        _transition = new QVariantAnimation(this);
        _transition->setStartValue(0.0);
        _transition->setEndValue(1.0);
        connect(_transition, &QVariantAnimation::valueChanged, this, [this] { update(); });
        connect(_transition, &QVariantAnimation::finished, this, [this] { update(); });
    }
    _transition->stop();
    _transitionFrom = before;
    _transition->setDuration(durationMs);
    _transition->start();
}

QColor QEVColorIndicatorView::displayedSwatchColor() const {
    if (!_transition || _transition->state() != QAbstractAnimation::Running)
        return _swatch->fillColor();
    return dissolve(_transitionFrom, _swatch->fillColor(), _transition->currentValue().toReal());
}

QPainterPath QEVColorIndicatorView::ringPath() {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    const QRectF outer(0, 0, kSize, kSize);
    path.addEllipse(outer);
    path.addEllipse(outer.adjusted(kRingWidth, kRingWidth, -kRingWidth, -kRingWidth));
    return path;
}

QConicalGradient QEVColorIndicatorView::ringGradient() {
    // Qt's conical gradient starts at its angle (counter-clockwise from 3 o'clock as seen on
    // screen) and runs counter-clockwise; the ring runs clockwise from the bottom-right corner.
    // So it starts at -45 degrees with the stops in reverse.
    QConicalGradient gradient(QPointF(kSize / 2.0, kSize / 2.0), -45);
    const qreal last = qreal(kRingColors.size() - 1);
    for (size_t i = 0; i < kRingColors.size(); ++i)
        gradient.setColorAt(1.0 - qreal(i) / last, kRingColors[i]);
    return gradient;
}

void QEVColorIndicatorView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ringGradient());
    painter.drawPath(ringPath());
    painter.setBrush(displayedSwatchColor());
    painter.drawPath(QEVColorSwatch::path());
}
