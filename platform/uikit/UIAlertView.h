#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class UIAlertButton;
class UITextField;

// The card of an alert, 270 wide with corner radius 14: title, message and text fields over
// a row (two actions) or a column of buttons, separated by hairlines.
class UIAlertView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 270;
    static constexpr qreal kCornerRadius = 14;

    explicit UIAlertView(QWidget* parent = nullptr);

    void setTexts(const QString& title, const QString& message);
    void addTextField(UITextField* field);
    void addButton(UIAlertButton* button);
    QLabel* titleLabel() const { return _title; }
    QList<UIAlertButton*> buttons() const { return _buttons; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int layoutContents(bool apply); // returns the height the contents need
    int contentHeight(bool apply);
    QList<UIAlertButton*> orderedButtons() const;
    bool buttonsSideBySide() const;

    QLabel* _title = nullptr;
    QLabel* _message = nullptr;
    QList<UITextField*> _fields;
    QList<UIAlertButton*> _buttons;
    int _buttonsTop = 0;
};
