#include "cells/QEVValueLabel.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>

namespace {
const QString kEllipsis = QStringLiteral("\u2026");
}

QEVValueLabel::QEVValueLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

qreal QEVValueLabel::digitSlot() const {
    const QFontMetricsF metrics(font());
    qreal widest = 0;
    for (char d = '0'; d <= '9'; ++d)
        widest = std::max(widest, metrics.horizontalAdvance(QChar(d)));
    return widest;
}

qreal QEVValueLabel::advance(QChar c) const {
    return c.isDigit() ? digitSlot() : QFontMetricsF(font()).horizontalAdvance(c);
}

qreal QEVValueLabel::tabularWidth(const QString& text) const {
    qreal width = 0;
    for (QChar c : text)
        width += advance(c);
    return width;
}

QString QEVValueLabel::shownText() const {
    const QString full = text();
    const qreal available = contentsRect().width();
    if (tabularWidth(full) <= available)
        return full;
    for (qsizetype n = full.size() - 1; n > 0; --n) {
        const QString cut = full.left(n) + kEllipsis;
        if (tabularWidth(cut) <= available)
            return cut;
    }
    return QString();
}

QColor QEVValueLabel::textColor() const {
    return palette().color(QPalette::WindowText);
}

void QEVValueLabel::setTextColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

QSize QEVValueLabel::sizeHint() const {
    const QFontMetricsF metrics(font());
    return QSize(int(std::ceil(tabularWidth(text()))), int(std::ceil(metrics.height())));
}

QSize QEVValueLabel::minimumSizeHint() const {
    return QSize(0, int(std::ceil(QFontMetricsF(font()).height())));
}

void QEVValueLabel::paintEvent(QPaintEvent*) {
    const QString shown = shownText();
    if (shown.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(textColor());
    const QRectF box = contentsRect();
    const QFontMetricsF metrics(font());
    const qreal width = tabularWidth(shown);
    qreal x = box.left();
    if (alignment() & Qt::AlignRight)
        x = box.right() - width;
    else if (alignment() & Qt::AlignHCenter)
        x = box.left() + (box.width() - width) / 2;
    const qreal baseline = box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
    const qreal slot = digitSlot();
    for (QChar c : shown) {
        const qreal own = metrics.horizontalAdvance(c);
        if (c.isDigit()) {
            painter.drawText(QPointF(x + (slot - own) / 2, baseline), QString(c));
            x += slot;
        } else {
            painter.drawText(QPointF(x, baseline), QString(c));
            x += own;
        }
    }
}

QRectF QEVValueLabel::focusRingRect() const {
    const QRectF box = contentsRect();
    const qreal height = QFontMetricsF(font()).height() + 4;
    const qreal width = std::min(box.width(), tabularWidth(shownText()) + 4);
    qreal x = box.left();
    if (alignment() & Qt::AlignRight)
        x = box.right() + 1 - width;
    else if (alignment() & Qt::AlignHCenter)
        x = box.left() + (box.width() - width) / 2;
    return QRectF(x, box.top() + (box.height() - height) / 2, width, height);
}

void QEVValueLabel::keyPressEvent(QKeyEvent* event) {
    if (UIPressable::isPressKey(event)) {
        press();
        return;
    }
    QLabel::keyPressEvent(event);
}
