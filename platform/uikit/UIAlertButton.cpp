#include "uikit/UIAlertButton.h"

#include "uikit/UIColor.h"
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
        return UIColor::tertiaryLabelColor().resolvedColorForView(this);
    if (_action->style() == UIAlertActionStyleDestructive)
        return UIColor::systemRedColor().resolvedColorForView(this);
    return UITint::tintColor(this);
}

QSize UIAlertButton::sizeHint() const {
    return QSize(QFontMetrics(font()).horizontalAdvance(text()) + 32, kHeight);
}

void UIAlertButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (isDown())
        painter.fillRect(
            rect(),
            UIColor(QColor(0, 0, 0, 20), QColor(255, 255, 255, 20)).resolvedColorForView(this));
    painter.setPen(textColor());
    painter.setFont(font());
    const QString shown = QFontMetrics(font()).elidedText(text(), Qt::ElideMiddle, width() - 16);
    painter.drawText(rect(), Qt::AlignCenter, shown);
}
