#include "uikit/UITextField.h"

#include "uikit/UIFont.h"

#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

UITextField::UITextField(QWidget* parent) : QLineEdit(parent) {
    setFont(UIFont::systemFontOfSize(13));
    setFrame(false);
    setTextMargins(6, 0, 6, 0);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(60, 60, 67, 77));
    setPalette(palette);
}

void UITextField::setKeyboardType(UIKeyboardType type) {
    _keyboardType = type;
    if (type != UIKeyboardTypeDecimalPad) {
        setValidator(nullptr);
        return;
    }
    // Only what the decimal pad has keys for: ASCII digits and the decimal separator of the
    // current locale; no sign, no group separators, no exponent.
    const QString separator = QRegularExpression::escape(QLocale().decimalPoint());
    const QRegularExpression pattern(QStringLiteral("(?:[0-9]|%1)*").arg(separator));
    setValidator(new QRegularExpressionValidator(pattern, this));
    if (!hasAcceptableInput())
        clear();
}

void UITextField::setTextColor(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, color.isValid() ? color : QColor(Qt::black));
    setPalette(palette);
}

QColor UITextField::textColor() const {
    return palette().color(QPalette::Text);
}

QSize UITextField::sizeHint() const {
    return QSize(238, 25);
}

void UITextField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 67, 74), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}
