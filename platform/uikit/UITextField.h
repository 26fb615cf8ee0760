#pragma once

#include <QColor>
#include <QLineEdit>

enum UIKeyboardType { UIKeyboardTypeDefault = 0, UIKeyboardTypeDecimalPad = 8 };

// A one-line text field as alerts show it: 13-point text in a white box with a hairline
// border. The keyboard type is a hint to on-screen keyboards; nothing typed is dropped.
class UITextField : public QLineEdit {
    Q_OBJECT
public:
    explicit UITextField(QWidget* parent = nullptr);

    void setKeyboardType(UIKeyboardType type);
    UIKeyboardType keyboardType() const { return _keyboardType; }
    void setTextColor(const QColor& color);
    QColor textColor() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    UIKeyboardType _keyboardType = UIKeyboardTypeDefault;
};
