#include "cells/QEVSliderCell.h"

#include "cells/QEVSliderStep.h"
#include "cells/QEVValueLabel.h"

#include "foundation/NSBundle.h"
#include "foundation/TextRules.h"
#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UISlider.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIFont.h"
#include "uikit/UIKeyboardFocus.h"
#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UISelectionFeedbackGenerator.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITextField.h"
#include "uikit/UIWindow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <cmath>

float QEVSliderCell::lastFeedbackValue = -1.0f;

namespace {

const QString kButtonStyle =
    QStringLiteral("QPushButton { background-color: rgb(248, 248, 248); color: black; border: none;"
                   " border-radius: 6px; padding: 0px; outline: none; }"
                   // The device dims a custom button's look while it is held.
                   "QPushButton:pressed { background-color: rgb(216, 216, 216); }");

// The read-out never changes width: it is as wide as the widest value it is made for.
const QString kWidestReadout = QStringLiteral("-2000.00");

// A getter's result as a number, the way a number's or a string's floatValue reads it.
float floatValueOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return TextRules::floatValue(value.toString());
    if (TextRules::isNumber(value))
        return value.toFloat();
    return 0.0f;
}

} // namespace

QEVSliderCell::QEVSliderCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                             QWidget* parent)
    : PSSliderTableCell(style, reuseIdentifier, specifier, parent) {
    setFeedbackGenerator(new UISelectionFeedbackGenerator(this));
    _feedbackGenerator->prepare();
    if (specifier)
        specifier->setProperty(QVariant(qint64(kRowHeight)), QStringLiteral("height"));
    buildTitle();
    _minusButton = makeButton(QStringLiteral("-"));
    _plusButton = makeButton(QStringLiteral("+"));
    buildValueLabel();
    buildStacks();
    wireControls();
    followRow();
}

void QEVSliderCell::buildTitle() {
    PSSpecifier* rowSpecifier = specifier();
    const QString label =
        rowSpecifier ? rowSpecifier->propertyForKey(QStringLiteral("label")).toString() : QString();
    const QString table =
        rowSpecifier ? rowSpecifier->propertyForKey(QStringLiteral("localizationTable")).toString()
                     : QString();
    NSBundle* bundle =
        rowSpecifier && rowSpecifier->target() ? rowSpecifier->target()->bundle() : nullptr;
    if (!bundle)
        bundle = NSBundle::mainBundle();
    _sliderLabel = new QLabel(this);
    _sliderLabel->setFont(UIFont::systemFontOfSize(17));
    _sliderLabel->setTextFormat(Qt::PlainText);
    _sliderLabel->setText(bundle ? bundle->localizedStringForKey(label, label, table) : label);
    _sliderLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QPushButton* QEVSliderCell::makeButton(const QString& title) {
    auto* button = new QPushButton(title, this);
    button->setFont(UIFont::systemFontOfSize(13, QFont::Medium));
    button->setStyleSheet(kButtonStyle);
    // Reached by Tab; Space or Enter steps once, and a held key repeats at the hold's pace.
    button->setFocusPolicy(Qt::TabFocus);
    UIKeyboardFocus::pressOnEnter(button);
    button->setFixedSize(26, 15);
    return button;
}

void QEVSliderCell::buildValueLabel() {
    _valueLabel = new QEVValueLabel(this);
    // The read-out is the way into typed entry; once that closes, the focus comes back here
    // rather than passing down the window to some other row.
    _valueLabel->setFocusPolicy(Qt::StrongFocus);
    _valueLabel->setFont(UIFont::systemFontOfSize(10, QFont::Bold));
    _valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PSSpecifier* rowSpecifier = specifier();
    const float stored = rowSpecifier ? floatValueOf(rowSpecifier->performGetter()) : 0.0f;
    _valueLabel->setText(TextRules::format02f(double(stored)));
    _valueLabel->setFixedWidth(int(std::ceil(_valueLabel->tabularWidth(kWidestReadout))));
    _valueLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void QEVSliderCell::buildStacks() {
    _sliderStackView = new QWidget(this);
    auto* row = new QHBoxLayout(_sliderStackView);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    row->addWidget(_sliderLabel, 0, Qt::AlignVCenter);
    row->addWidget(_minusButton, 0, Qt::AlignVCenter);
    row->addWidget(control(), 1, Qt::AlignVCenter);
    row->addWidget(_plusButton, 0, Qt::AlignVCenter);
    // Full height, as tall as the row of views, so the whole strip takes the tap.
    row->addWidget(_valueLabel, 0);
    control()->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Tab walks the row as it reads: -, slider, +, read-out.
    setControlOrder({_minusButton, control(), _plusButton, _valueLabel});

    _stackView = new QWidget(contentView());
    auto* column = new QVBoxLayout(_stackView);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(_sliderStackView);

    auto* content = new QVBoxLayout(contentView());
    content->setContentsMargins(20, 0, 20, 0);
    content->setSpacing(0);
    content->addWidget(_stackView);
}

void QEVSliderCell::wireControls() {
    connect(_minusButton, &QPushButton::clicked, this, &QEVSliderCell::decrementValue);
    connect(_plusButton, &QPushButton::clicked, this, &QEVSliderCell::incrementValue);
    auto* minusPress = new UILongPressGestureRecognizer(
        [this](UILongPressGestureRecognizer* r) { handleMinusLongPress(r); });
    minusPress->attachTo(_minusButton);
    auto* plusPress = new UILongPressGestureRecognizer(
        [this](UILongPressGestureRecognizer* r) { handlePlusLongPress(r); });
    plusPress->attachTo(_plusButton);

    UISlider* slider = control();
    const auto follow = [this] { sliderValueChanged(control()); };
    connect(slider, &UISlider::touchDragInside, this, follow);
    connect(slider, &UISlider::touchDragOutside, this, follow);
    connect(slider, &UISlider::valueChanged, this, follow);

    // A screen reader reads the slider's value as the read-out shows it.
    slider->setValueTextRule([](float value) { return TextRules::format02f(double(value)); });

    auto* tap =
        new UITapGestureRecognizer([this](UITapGestureRecognizer*) { setCustomSliderValue(); });
    tap->setNumberOfTapsRequired(1);
    tap->attachTo(_valueLabel);
    connect(_valueLabel, &QEVValueLabel::pressed, this, &QEVSliderCell::setCustomSliderValue);
}

void QEVSliderCell::followRow() {
    UISlider* slider = control();
    // The keyboard's and assistive technologies' steps are the - and + buttons' own.
    slider->setStepHandler(
        [this](int direction) { direction > 0 ? incrementValue() : decrementValue(); },
        QEVSliderStep::size(slider->maximumValue()));
    // Every control of the row is named after its title, as a screen reader reads it.
    const QString title = _sliderLabel->text();
    const auto named = [this, &title](const char* format) {
        const QString text = QString::fromUtf8(format);
        PSSpecifier* row = specifier();
        QString name = row ? row->localizedString(text) : text;
        return name.replace(QStringLiteral("%@"), title);
    };
    slider->setAccessibleName(title);
    _minusButton->setAccessibleName(named("%@, decrease"));
    _plusButton->setAccessibleName(named("%@, increase"));
    _valueLabel->setAccessibleName(named("%@, enter a value"));
}

// ---- stepping ---------------------------------------------------------------------------

void QEVSliderCell::incrementValue() {
    applyStep([](const UISlider* slider) {
        return QEVSliderStep::clampedUp(slider->value(), slider->maximumValue());
    });
}

void QEVSliderCell::decrementValue() {
    applyStep([](const UISlider* slider) {
        return QEVSliderStep::clampedDown(slider->value(), slider->minimumValue(),
                                          slider->maximumValue());
    });
}

void QEVSliderCell::applyStep(float (*step)(const UISlider*)) {
    // A step starts from the stored value: another program may have changed it since this row
    // last showed it, and a step from the old value would write over that change.
    showStoredValue();
    const float value = step(control());
    control()->setValue(value);
    // A store that fails puts the stored value back; the read-out then shows that.
    storeValue(value);
    sliderValueChanged(control());
}

void QEVSliderCell::storeValue(float value) {
    // A file must never hold inf or nan; the range itself is always finite.
    if (!std::isfinite(value))
        return;
    if (PSSpecifier* rowSpecifier = specifier())
        rowSpecifier->performSetterWithValue(QVariant(double(value)));
}

// ---- repeat while held ------------------------------------------------------------------

void QEVSliderCell::handlePlusLongPress(UILongPressGestureRecognizer* recognizer) {
    if (!recognizer)
        return;
    if (recognizer->state() == UIGestureRecognizerStateBegan)
        startIncrementTimer();
    else if (recognizer->state() == UIGestureRecognizerStateEnded ||
             recognizer->state() == UIGestureRecognizerStateCancelled)
        stopIncrementTimer();
}

void QEVSliderCell::handleMinusLongPress(UILongPressGestureRecognizer* recognizer) {
    if (!recognizer)
        return;
    if (recognizer->state() == UIGestureRecognizerStateBegan)
        startDecrementTimer();
    else if (recognizer->state() == UIGestureRecognizerStateEnded ||
             recognizer->state() == UIGestureRecognizerStateCancelled)
        stopDecrementTimer();
}

QTimer* QEVSliderCell::startRepeating(void (QEVSliderCell::*step)()) {
    // A child of the cell: it can never call a cell that is gone.
    auto* timer = new QTimer(this);
    timer->setInterval(kTickMilliseconds);
    connect(timer, &QTimer::timeout, this, step);
    timer->start();
    return timer;
}

void QEVSliderCell::stopRepeating(QTimer*& timer) {
    if (!timer)
        return;
    timer->stop();
    timer->deleteLater();
    timer = nullptr;
}

void QEVSliderCell::startIncrementTimer() {
    stopIncrementTimer();
    _incrementTimer = startRepeating(&QEVSliderCell::incrementValue);
}

void QEVSliderCell::stopIncrementTimer() {
    stopRepeating(_incrementTimer);
}

void QEVSliderCell::startDecrementTimer() {
    stopDecrementTimer();
    _decrementTimer = startRepeating(&QEVSliderCell::decrementValue);
}

void QEVSliderCell::stopDecrementTimer() {
    stopRepeating(_decrementTimer);
}

// ---- read-out ---------------------------------------------------------------------------

void QEVSliderCell::sliderValueChanged(UISlider* slider) {
    if (!slider)
        return;
    const float value = slider->value();
    if (std::fabs(lastFeedbackValue - value) > kFeedbackThreshold && _feedbackGenerator) {
        _feedbackGenerator->selectionChanged();
        _feedbackGenerator->prepare();
    }
    showReadout(value);
}

void QEVSliderCell::showReadout(float value) {
    _valueLabel->setText(TextRules::format02f(double(value)));
    lastFeedbackValue = value;
}

void QEVSliderCell::showStoredValue() {
    PSSliderTableCell::showStoredValue();
    showReadout(control()->value());
}

// ---- typed entry ------------------------------------------------------------------------

float QEVSliderCell::typedValue(const QString& text) {
    // A number pad has a decimal mark and no thousands separator: the first full stop, comma
    // or locale decimal mark is the decimal point, whichever locale the person types in.
    QString decimal = text;
    qsizetype first = -1;
    qsizetype length = 0;
    for (const QString& mark :
         {QStringLiteral("."), QStringLiteral(","), QLocale().decimalPoint()}) {
        const qsizetype at = text.indexOf(mark);
        if (at >= 0 && (first < 0 || at < first)) {
            first = at;
            length = mark.size();
        }
    }
    if (first >= 0)
        decimal.replace(first, length, QStringLiteral("."));
    const float value = TextRules::floatValue(decimal);
    return std::isnan(value) ? 0.0f : value;
}

float QEVSliderCell::clampedTypedValue(float value, float minimum, float maximum) {
    if (std::isnan(value))
        value = 0.0f;
    if (value > maximum)
        return maximum;
    if (value < minimum)
        return minimum;
    return QEVSliderStep::unsignedZero(value); // "-0" typed is stored and shown as 0
}

void QEVSliderCell::confirmTypedEntry(const QString& text) {
    UISlider* slider = control();
    const float value =
        clampedTypedValue(typedValue(text), slider->minimumValue(), slider->maximumValue());
    slider->setValue(value, true);
    // Stored last: a store that fails puts the stored value back, and that is what is shown.
    storeValue(value);
    sliderValueChanged(slider);
}

void QEVSliderCell::setCustomSliderValue() {
    auto* alert = UIAlertController::alertControllerWithTitle(QStringLiteral("输入数值"), QString(),
                                                              UIAlertControllerStyleAlert);
    const QColor tint = tintColor();
    alert->addTextFieldWithConfigurationHandler([tint](UITextField* field) {
        field->setKeyboardType(UIKeyboardTypeDecimalPad);
        field->setText(QString());
        field->setTextColor(tint);
    });
    const QPointer<QEVSliderCell> cell(this);
    const QPointer<UIAlertController> entry(alert);
    alert->addAction(UIAlertAction::actionWithTitle(
        QStringLiteral("设置"), UIAlertActionStyleDefault, [cell, entry](UIAlertAction*) {
            // The row may have gone while the alert was open; then there is nothing to set.
            if (!cell)
                return;
            const QList<UITextField*> fields = entry ? entry->textFields() : QList<UITextField*>();
            cell->confirmTypedEntry(!fields.isEmpty() && fields.first() ? fields.first()->text()
                                                                        : QString());
        }));
    alert->addAction(
        UIAlertAction::actionWithTitle(QStringLiteral("取消"), UIAlertActionStyleCancel));

    UIViewController* presenter = UIViewController::viewControllerForView(this);
    if (!presenter) {
        UIWindow* key = UIApplication::sharedApplication()->keyWindow();
        presenter = key ? key->rootViewController() : nullptr;
    }
    if (presenter)
        presenter->presentViewController(alert, true);
    // Nobody to show it, or something else already shown there: drop it rather than leak it.
    if (!alert->presentingViewController())
        alert->deleteLater();
}

// ---- look -------------------------------------------------------------------------------

void QEVSliderCell::tintColorDidChange() {
    PSSliderTableCell::tintColorDidChange();
    if (_valueLabel)
        _valueLabel->setTextColor(tintColor());
}

void QEVSliderCell::refreshCellContentsWithSpecifier(PSSpecifier* specifier) {
    PSSliderTableCell::refreshCellContentsWithSpecifier(specifier);
    if (_valueLabel) {
        _valueLabel->setTextColor(tintColor());
        followRow();
    }
}

UISelectionFeedbackGenerator* QEVSliderCell::feedbackGenerator() const {
    return _feedbackGenerator;
}

void QEVSliderCell::setFeedbackGenerator(UISelectionFeedbackGenerator* generator) {
    // The cell keeps what it is given for as long as it lives.
    if (generator && !generator->parent())
        generator->setParent(this);
    _feedbackGenerator = generator;
}
