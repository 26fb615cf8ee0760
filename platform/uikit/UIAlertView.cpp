#include "uikit/UIAlertView.h"

#include "uikit/UIAlertButton.h"
#include "uikit/UIColor.h"
#include "uikit/UIFont.h"
#include "uikit/UITextField.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kSide = 16;
constexpr int kTop = 20;
constexpr int kBottom = 20;
constexpr int kTextGap = 3;
constexpr int kFieldGap = 16;
constexpr int kFieldHeight = 25;
const UIColor kCardColor(QColor(242, 242, 242), QColor(44, 44, 46));

QLabel* makeLabel(QWidget* parent, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    UIColor::setPaletteColor(label, QPalette::WindowText, UIColor::labelColor());
    label->hide();
    return label;
}
} // namespace

UIAlertView::UIAlertView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    _title = makeLabel(this, UIFont::systemFontOfSize(17, QFont::DemiBold));
    _message = makeLabel(this, UIFont::systemFontOfSize(13));
}

void UIAlertView::setTexts(const QString& title, const QString& message) {
    _title->setText(title);
    _title->setVisible(!title.isEmpty());
    _message->setText(message);
    _message->setVisible(!message.isEmpty());
    layoutContents(true);
}

void UIAlertView::addTextField(UITextField* field) {
    field->setParent(this);
    field->show();
    _fields.append(field);
    layoutContents(true);
}

void UIAlertView::addButton(UIAlertButton* button) {
    button->setParent(this);
    button->show();
    _buttons.append(button);
    layoutContents(true);
}

bool UIAlertView::buttonsSideBySide() const {
    if (_buttons.size() != 2)
        return false;
    const int half = kWidth / 2 - 8;
    return _buttons[0]->sizeHint().width() <= half && _buttons[1]->sizeHint().width() <= half;
}

QList<UIAlertButton*> UIAlertView::orderedButtons() const {
    // The cancel button goes first in a row and last in a column, where the thumb expects it.
    QList<UIAlertButton*> ordered;
    UIAlertButton* cancel = nullptr;
    for (UIAlertButton* button : _buttons) {
        if (!cancel && button->action()->style() == UIAlertActionStyleCancel)
            cancel = button;
        else
            ordered.append(button);
    }
    if (cancel) {
        if (buttonsSideBySide())
            ordered.prepend(cancel);
        else
            ordered.append(cancel);
    }
    return ordered;
}

int UIAlertView::contentHeight(bool apply) {
    const int textWidth = kWidth - 2 * kSide;
    int y = kTop;
    bool any = false;
    for (QLabel* label : {_title, _message}) {
        if (label->isHidden())
            continue;
        if (any)
            y += kTextGap;
        const int h = label->heightForWidth(textWidth);
        if (apply)
            label->setGeometry(kSide, y, textWidth, h);
        y += h;
        any = true;
    }
    for (int i = 0; i < _fields.size(); ++i) {
        y += i == 0 ? (any ? kFieldGap : 0) : 0;
        if (apply)
            _fields[i]->setGeometry(kSide, y, textWidth, kFieldHeight);
        y += kFieldHeight - (i + 1 < _fields.size() ? 1 : 0); // stacked fields share a border
    }
    return y + (_fields.isEmpty() ? kBottom : kBottom - 4);
}

int UIAlertView::layoutContents(bool apply) {
    int y = contentHeight(apply);
    _buttonsTop = y;
    const QList<UIAlertButton*> ordered = orderedButtons();
    if (buttonsSideBySide()) {
        if (apply) {
            ordered[0]->setGeometry(0, y, kWidth / 2, UIAlertButton::kHeight);
            ordered[1]->setGeometry(kWidth / 2, y, kWidth - kWidth / 2, UIAlertButton::kHeight);
        }
        return y + UIAlertButton::kHeight;
    }
    for (UIAlertButton* button : ordered) {
        if (apply)
            button->setGeometry(0, y, kWidth, UIAlertButton::kHeight);
        y += UIAlertButton::kHeight;
    }
    return y;
}

QSize UIAlertView::sizeHint() const {
    return QSize(kWidth, const_cast<UIAlertView*>(this)->layoutContents(false));
}

void UIAlertView::resizeEvent(QResizeEvent*) {
    layoutContents(true);
}

void UIAlertView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(card, kCardColor.resolvedColorForView(this));
    if (_buttons.isEmpty())
        return;
    const QColor hairline = UIColor::separatorColor().resolvedColorForView(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(hairline);
    // One hairline above the buttons, and one between each pair of them.
    painter.fillRect(QRectF(0, _buttonsTop - 0.5, width(), 1), hairline);
    const QList<UIAlertButton*> ordered = orderedButtons();
    if (buttonsSideBySide()) {
        painter.fillRect(QRectF(width() / 2 - 0.5, _buttonsTop, 1, UIAlertButton::kHeight),
                         hairline);
        return;
    }
    for (int i = 1; i < ordered.size(); ++i)
        painter.fillRect(QRectF(0, ordered[i]->y() - 0.5, width(), 1), hairline);
}
