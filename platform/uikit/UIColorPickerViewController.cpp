#include "uikit/UIColorPickerViewController.h"

#include "foundation/LocaleLanguages.h"
#include "uikit/UIFont.h"
#include "uikit/UIKeyboardFocus.h"

#include <QApplication>
#include <QBoxLayout>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kChinese = QStringLiteral("zh-Hans");
const QString kEnglish = QStringLiteral("en");

// In the language a bundle's strings would be chosen in.
QString fallbackTitle() {
    const QStringList order = LocaleLanguages::matchLocalizations(
        LocaleLanguages::preferredLanguages(), {kChinese, kEnglish}, kEnglish);
    return order.value(0) == kChinese ? QStringLiteral("颜色") : QStringLiteral("Colors");
}
} // namespace

UIColorPickerViewController::UIColorPickerViewController(QObject* parent)
    : UIViewController(parent) {}

void UIColorPickerViewController::setDelegate(UIColorPickerViewControllerDelegate* delegate) {
    _delegate = delegate;
    _delegateObject = dynamic_cast<QObject*>(delegate);
}

UIColorPickerViewControllerDelegate* UIColorPickerViewController::delegate() const {
    if (_delegate && dynamic_cast<QObject*>(_delegate) != nullptr && !_delegateObject)
        return nullptr;
    return _delegate;
}

QColor UIColorPickerViewController::normalised(const QColor& color) const {
    QColor result = color.isValid() ? color.toRgb() : QColor(Qt::white);
    if (!_supportsAlpha)
        result.setAlpha(255);
    return result;
}

void UIColorPickerViewController::setSupportsAlpha(bool supportsAlpha) {
    _supportsAlpha = supportsAlpha;
    _selectedColor = normalised(_selectedColor);
    if (_dialog)
        _dialog->setOption(QColorDialog::ShowAlphaChannel, supportsAlpha);
}

void UIColorPickerViewController::setSelectedColor(const QColor& color) {
    _selectedColor = normalised(color);
    if (_dialog) {
        _settingFromCode = true;
        _dialog->setCurrentColor(_selectedColor);
        _settingFromCode = false;
    }
}

QColorDialog* UIColorPickerViewController::colorDialog() {
    view();
    return _dialog;
}

void UIColorPickerViewController::loadView() {
    auto* root = new QWidget;
    auto* layout = new QVBoxLayout(root);
    layout->setContentsMargins(16, 12, 12, 0);
    layout->setSpacing(8);

    auto* header = new QHBoxLayout;
    // The row's own title when it gave one, else the picker's.
    const QString fallback = fallbackTitle();
    auto* title = new QLabel(
        UIViewController::title().isEmpty() ? fallback : UIViewController::title(), root);
    title->setFont(UIFont::systemFontOfSize(17, QFont::DemiBold));
    connect(this, &UIViewController::titleChanged, title, [this, title, fallback] {
        title->setText(UIViewController::title().isEmpty() ? fallback : UIViewController::title());
    });
    _titleLabel = title;
    header->addWidget(title, 1);
    _closeButton = new QToolButton(root);
    _closeButton->setText(QStringLiteral("✕"));
    _closeButton->setAutoRaise(true);
    _closeButton->setFont(UIFont::systemFontOfSize(15, QFont::DemiBold));
    // A screen reader reads a name, not the cross; Qt's own word, in the user's language.
    _closeButton->setAccessibleName(
        QCoreApplication::translate("QPlatformTheme", "Close").remove(QLatin1Char('&')));
    UIKeyboardFocus::pressOnEnter(_closeButton);
    connect(_closeButton, &QToolButton::clicked, this,
            [this] { dismissViewControllerAnimated(true); });
    header->addWidget(_closeButton);
    layout->addLayout(header);

    _dialog = new QColorDialog;
    _dialog->setWindowFlags(Qt::Widget);
    _dialog->setFont(UIFont::systemFontOfSize(13));
    _dialog->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    _dialog->setOption(QColorDialog::ShowAlphaChannel, _supportsAlpha);
    _dialog->setCurrentColor(_selectedColor);
    // Left to itself the embedded dialog answers Escape by hiding, inside a sheet that stays.
    _dialog->installEventFilter(this);
    connect(_dialog, &QColorDialog::currentColorChanged, this,
            &UIColorPickerViewController::dialogColorChanged);
    stackDialogVertically();
    // The dialog is wider than a phone: on a narrow window it scrolls instead of being cut.
    auto* scroller = new QScrollArea(root);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(_dialog);
    _dialog->show();
    layout->addWidget(scroller, 1);
    setView(root);
}

bool UIColorPickerViewController::eventFilter(QObject* watched, QEvent* event) {
    // The event's type first: the dialog's own destruction passes through here too (a window
    // closed with the picker up), when it is no colour dialog any more to compare with.
    if (event->type() == QEvent::KeyPress &&
        (watched == _dialog || (isViewLoaded() && watched == view())) &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
        dismissViewControllerAnimated(true);
        return true;
    }
    return UIViewController::eventFilter(watched, event);
}

void UIColorPickerViewController::stackDialogVertically() {
    // The dialog sets its swatches beside its spectrum, wider than a phone; one above the
    // other it fits the device's width.
    auto* main = qobject_cast<QBoxLayout*>(_dialog->layout());
    for (int i = 0; main && i < main->count(); ++i) {
        auto* row = qobject_cast<QBoxLayout*>(main->itemAt(i)->layout());
        if (row && row->direction() == QBoxLayout::LeftToRight) {
            row->setDirection(QBoxLayout::TopToBottom);
            return;
        }
    }
}

void UIColorPickerViewController::dialogColorChanged(const QColor& color) {
    if (_settingFromCode)
        return;
    const QColor picked = normalised(color);
    if (picked == _selectedColor)
        return; // the dialog repeats a colour while its fields catch up: one report per change
    _selectedColor = picked;
    if (UIColorPickerViewControllerDelegate* answerer = delegate())
        answerer->colorPickerViewControllerDidSelectColor(this);
}
