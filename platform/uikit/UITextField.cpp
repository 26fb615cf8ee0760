#include "uikit/UITextField.h"

#include "uikit/UIColor.h"
#include "uikit/UIFont.h"

#include <QPainter>

namespace {
const UIColor kFieldColor(QColor(255, 255, 255), QColor(28, 28, 30));
} // namespace

UITextField::UITextField(QWidget* parent) : QLineEdit(parent) {
    setFont(UIFont::systemFontOfSize(13));
    setFrame(false);
    setTextMargins(6, 0, 6, 0);
    UIColor::setPaletteColor(this, QPalette::Base, kFieldColor);
    UIColor::setPaletteColor(this, QPalette::Text, UIColor::labelColor());
    UIColor::setPaletteColor(this, QPalette::PlaceholderText, UIColor::tertiaryLabelColor());
}

void UITextField::setKeyboardType(UIKeyboardType type) {
    _keyboardType = type;
    // A hint for on-screen keyboards only. A desktop keyboard can type anything, and what is
    // typed is shown as typed: a field that silently drops a minus or a decimal mark shows a
    // different number from the one the person meant. The reader of the text decides.
    setInputMethodHints(type == UIKeyboardTypeDecimalPad ? Qt::ImhFormattedNumbersOnly
                                                         : Qt::ImhNone);
}

void UITextField::setTextColor(const QColor& color) {
    UIColor::setPaletteColor(this, QPalette::Text,
                             color.isValid() ? UIColor(color) : UIColor::labelColor());
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
    painter.setPen(QPen(UIColor::separatorColor().resolvedColorForView(this), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}
