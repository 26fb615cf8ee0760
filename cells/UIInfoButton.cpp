#include "cells/UIInfoButton.h"

#include "uikit/UIKeyboardFocus.h"
#include "uikit/UITint.h"

#include <QPainter>

namespace {

constexpr qreal kRingWidth = 1.5;
constexpr qreal kPressedOpacity = 0.2; // the platform dims a held button to about a fifth

// The "i": a dot over a stem, centred, in proportion to the circle.
void paintLetter(QPainter& p, const QRectF& circle, const QColor& color) {
    const qreal unit = circle.width() / 22.0;
    const qreal cx = circle.center().x();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(cx, circle.top() + 6.4 * unit), 1.3 * unit, 1.3 * unit);
    const QRectF stem(cx - 1.0 * unit, circle.top() + 9.2 * unit, 2.0 * unit, 7.6 * unit);
    p.drawRoundedRect(stem, 0.6 * unit, 0.6 * unit);
}

} // namespace

UIInfoButton::UIInfoButton(QWidget* parent) : QAbstractButton(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    UIKeyboardFocus::pressOnEnter(this);
    setCursor(Qt::PointingHandCursor);
    resize(sizeHint());
}

QColor UIInfoButton::tintColor() const {
    return UITint::tintColor(this);
}

void UIInfoButton::setTintColor(const UIColor& color) {
    UITint::setTintColor(this, color);
    update();
}

void UIInfoButton::tintColorDidChange() {
    update();
}

QRectF UIInfoButton::focusRingRect() const {
    const qreal side = std::min(width(), height());
    return QRectF((width() - side) / 2, (height() - side) / 2, side, side);
}

void UIInfoButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        p.setOpacity(kPressedOpacity);
    else if (!isEnabled())
        p.setOpacity(0.35);
    const QColor color = tintColor();
    const qreal side = std::min(width(), height());
    const QRectF box((width() - side) / 2, (height() - side) / 2, side, side);
    const QRectF circle =
        box.adjusted(kRingWidth / 2, kRingWidth / 2, -kRingWidth / 2, -kRingWidth / 2);
    p.setPen(QPen(color, kRingWidth));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle);
    paintLetter(p, box, color);
}
