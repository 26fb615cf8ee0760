#include "preferences/PSEditTextTableCell.h"

#include "foundation/TextRules.h"
#include "preferences/PSSpecifier.h"
#include "uikit/UIFont.h"

#include <QLabel>
#include <QLineEdit>

PSEditTextTableCell::PSEditTextTableCell(int style, const QString& reuseIdentifier,
                                         PSSpecifier* specifier, QWidget* parent)
    : PSTableCell(style, reuseIdentifier, specifier, parent),
      _textField(new QLineEdit(contentView())) {
    setSelectionStyle(UITableViewCellSelectionStyleNone);
    _textField->setFrame(false);
    _textField->setFont(UIFont::systemFontOfSize(17));
    _textField->setAttribute(Qt::WA_MacShowFocusRect, false);
    _textField->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    connect(_textField, &QLineEdit::editingFinished, this, &PSEditTextTableCell::editingEnded);
    refreshCellContentsWithSpecifier(specifier);
}

void PSEditTextTableCell::refreshCellContentsWithSpecifier(PSSpecifier* specifier) {
    PSTableCell::refreshCellContentsWithSpecifier(specifier);
    PSSpecifier* rowSpecifier = this->specifier();
    if (!rowSpecifier)
        return;
    const QVariant placeholder = rowSpecifier->propertyForKey(QStringLiteral("placeholder"));
    if (placeholder.typeId() == QMetaType::QString)
        _textField->setPlaceholderText(placeholder.toString());
    _shownText = storedText();
    _textField->setText(_shownText);
    _textField->setAccessibleName(textLabel()->text());
}

QString PSEditTextTableCell::storedText() const {
    PSSpecifier* rowSpecifier = specifier();
    if (!rowSpecifier)
        return QString();
    QVariant value = rowSpecifier->performGetter();
    if (!value.isValid())
        value = rowSpecifier->propertyForKey(QStringLiteral("default"));
    return TextRules::decimalText(value);
}

void PSEditTextTableCell::showStoredValue() {
    const bool typing = _textField->hasFocus() && _textField->text() != _shownText;
    _shownText = storedText();
    if (!typing)
        _textField->setText(_shownText);
}

void PSEditTextTableCell::setSelected(bool selected, bool animated) {
    PSTableCell::setSelected(selected, animated);
    if (selected)
        _textField->setFocus(Qt::MouseFocusReason);
}

void PSEditTextTableCell::layoutSubviews() {
    PSTableCell::layoutSubviews();
    const int w = contentView()->width();
    const int h = contentView()->height();
    const bool titled = !textLabel()->text().isEmpty();
    const int fieldLeft = titled ? std::max(kMargin, w * 2 / 5) : kMargin;
    if (titled)
        textLabel()->setGeometry(kMargin, 0, std::max(0, fieldLeft - kMargin - 8), h);
    _textField->setGeometry(fieldLeft, 0, std::max(0, w - kMargin - fieldLeft), h);
}

void PSEditTextTableCell::editingEnded() {
    const QString text = _textField->text();
    if (text == _shownText)
        return;
    _shownText = text;
    if (PSSpecifier* rowSpecifier = specifier())
        rowSpecifier->performSetterWithValue(QVariant(text));
}
