#include "uikit/UIBackButton.h"

#include "uikit/UIFont.h"
#include "uikit/UIKeyboardFocus.h"
#include "uikit/UITint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kChevronWidth = 12;
constexpr int kChevronHeight = 21;
constexpr int kGap = 6;
} // namespace

UIBackButton::UIBackButton(QWidget* parent) : QAbstractButton(parent) {
    setFont(UIFont::systemFontOfSize(17));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    UIKeyboardFocus::pressOnEnter(this);
}

QSize UIBackButton::sizeHint() const {
    const int textWidth = QFontMetrics(font()).horizontalAdvance(text());
    return QSize(kChevronWidth + kGap + textWidth, 44);
}

void UIBackButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor color = UITint::tintColor(this);
    if (isDown())
        color.setAlphaF(0.2f);
    const qreal top = (height() - kChevronHeight) / 2.0;
    QPainterPath chevron;
    chevron.moveTo(kChevronWidth - 1.5, top + 1.5);
    chevron.lineTo(2.0, top + kChevronHeight / 2.0);
    chevron.lineTo(kChevronWidth - 1.5, top + kChevronHeight - 1.5);
    painter.setPen(QPen(color, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(chevron);
    painter.setFont(font());
    painter.drawText(rect().adjusted(kChevronWidth + kGap, 0, 0, 0),
                     Qt::AlignVCenter | Qt::AlignLeft, text());
}
