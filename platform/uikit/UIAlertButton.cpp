#include "uikit/UIAlertButton.h"

#include "uikit/UIFont.h"
#include "uikit/UITint.h"

#include <QFontMetrics>
#include <QPainter>

UIAlertButton::UIAlertButton(UIAlertAction* action, QWidget* parent)
    : QAbstractButton(parent), _action(action) {
    setText(action->title());
    const bool cancel = action->style() == UIAlertActionStyleCancel;
    setFont(UIFont::systemFontOfSize(17, cancel ? QFont::DemiBold : QFont::Normal));
    setEnabled(action->isEnabled());
    setFocusPolicy(Qt::NoFocus);
}

QColor UIAlertButton::textColor() const {
    if (!isEnabled())
        return QColor(60, 60, 67, 77);
    if (_action->style() == UIAlertActionStyleDestructive)
        return QColor(255, 59, 48);
    return UITint::tintColor(this);
}

QSize UIAlertButton::sizeHint() const {
    return QSize(QFontMetrics(font()).horizontalAdvance(text()) + 32, kHeight);
}

void UIAlertButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (isDown())
        painter.fillRect(rect(), QColor(0, 0, 0, 20));
    painter.setPen(textColor());
    painter.setFont(font());
    const QString shown = QFontMetrics(font()).elidedText(text(), Qt::ElideMiddle, width() - 16);
    painter.drawText(rect(), Qt::AlignCenter, shown);
}
