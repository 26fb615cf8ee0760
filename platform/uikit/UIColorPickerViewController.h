#pragma once

#include "uikit/UIColorPickerViewControllerDelegate.h"
#include "uikit/UIViewController.h"

#include <QColor>
#include <QColorDialog>
#include <QLabel>
#include <QPointer>
#include <QToolButton>

// The system colour picker: a QColorDialog without buttons (with an opacity control when
// alpha is supported) under a title and a close button. Every colour the user picks becomes
// the selected colour and is told to the delegate once; setting the colour from code tells
// nobody. It holds the keyboard while shown, and Escape closes it as the close button does.
class UIColorPickerViewController : public UIViewController {
    Q_OBJECT
public:
    explicit UIColorPickerViewController(QObject* parent = nullptr);

    void setDelegate(UIColorPickerViewControllerDelegate* delegate);
    UIColorPickerViewControllerDelegate* delegate() const;
    void setSupportsAlpha(bool supportsAlpha);
    bool supportsAlpha() const { return _supportsAlpha; }
    void setSelectedColor(const QColor& color);
    QColor selectedColor() const { return _selectedColor; }

    QColorDialog* colorDialog(); // the embedded dialog (loads the view)
    QToolButton* closeButton() const { return _closeButton; }
    QLabel* titleLabel() const { return _titleLabel; }

protected:
    void loadView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dialogColorChanged(const QColor& color);
    void stackDialogVertically();
    QColor normalised(const QColor& color) const;

    UIColorPickerViewControllerDelegate* _delegate = nullptr;
    QPointer<QObject> _delegateObject;
    bool _supportsAlpha = true;
    QColor _selectedColor = Qt::white;
    QPointer<QColorDialog> _dialog;
    QPointer<QToolButton> _closeButton;
    QPointer<QLabel> _titleLabel;
    bool _settingFromCode = false;
};
