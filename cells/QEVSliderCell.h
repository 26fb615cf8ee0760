#pragma once

#include "preferences/PSSliderTableCell.h"

#include <QPointer>

class QLabel;
class QPushButton;
class QTimer;
class QWidget;
class QEVValueLabel;
class UILongPressGestureRecognizer;
class UISelectionFeedbackGenerator;
class UISlider;

// A slider row: title, minus button, slider, plus button and a two-decimal read-out in one
// line. The buttons step the value (repeating while held), the read-out opens a typed entry
// when tapped, and every value they produce is stored at once through the specifier.
//
// From the keyboard: Tab reaches -, the slider, + and the read-out in that order. The slider's
// arrow keys step as - and + do; Space or Enter on - or + steps once, and held repeats as a held
// pointer does; Space or Enter on the read-out opens the typed entry.
class QEVSliderCell : public PSSliderTableCell {
    Q_OBJECT
public:
    QEVSliderCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                  QWidget* parent = nullptr);

    void incrementValue();
    void decrementValue();
    void handlePlusLongPress(UILongPressGestureRecognizer* recognizer);
    void handleMinusLongPress(UILongPressGestureRecognizer* recognizer);
    void startIncrementTimer();
    void stopIncrementTimer();
    void startDecrementTimer();
    void stopDecrementTimer();
    void sliderValueChanged(UISlider* slider);
    void setCustomSliderValue();

    void tintColorDidChange() override;
    void refreshCellContentsWithSpecifier(PSSpecifier* specifier) override;
    // The slider and its read-out, without a tick: nobody moved them by hand.
    void showStoredValue() override;

    UISelectionFeedbackGenerator* feedbackGenerator() const;
    void setFeedbackGenerator(UISelectionFeedbackGenerator* generator);

    // The value of the last read-out refresh of any slider row in the process.
    static float lastFeedbackValue;

    // The number a typed entry stands for, before clamping: the text's floatValue, its first
    // decimal mark (full stop, comma or the locale's own) read as the decimal point. Never NaN.
    static float typedValue(const QString& text);
    // A typed number brought into the slider's range: above the maximum gives the maximum,
    // else below the minimum the minimum.
    static float clampedTypedValue(float value, float minimum, float maximum);

    // Views, for tests and for the pane's own look checks.
    QWidget* stackView() const { return _stackView; }
    QWidget* sliderStackView() const { return _sliderStackView; }
    QLabel* sliderLabel() const { return _sliderLabel; }
    QEVValueLabel* valueLabel() const { return _valueLabel; }
    QPushButton* minusButton() const { return _minusButton; }
    QPushButton* plusButton() const { return _plusButton; }
    QTimer* incrementTimer() const { return _incrementTimer; }
    QTimer* decrementTimer() const { return _decrementTimer; }

    static constexpr int kRowHeight = 50;
    static constexpr int kTickMilliseconds = 100;
    static constexpr float kFeedbackThreshold = 0.009f;

private:
    void buildTitle();
    QPushButton* makeButton(const QString& title);
    void buildValueLabel();
    void buildStacks();
    void wireControls();
    void followRow(); // step rule and names, from the row's range and title
    void applyStep(float (*step)(const UISlider*));
    void showReadout(float value);
    void storeValue(float value);
    void confirmTypedEntry(const QString& text);
    QTimer* startRepeating(void (QEVSliderCell::*step)());
    static void stopRepeating(QTimer*& timer);

    QWidget* _stackView = nullptr;
    QWidget* _sliderStackView = nullptr;
    QLabel* _sliderLabel = nullptr;
    QEVValueLabel* _valueLabel = nullptr;
    QPushButton* _minusButton = nullptr;
    QPushButton* _plusButton = nullptr;
    QTimer* _incrementTimer = nullptr;
    QTimer* _decrementTimer = nullptr;
    QPointer<UISelectionFeedbackGenerator> _feedbackGenerator;
};
