#pragma once

#include "uikit/UIColor.h"

#include <QAbstractButton>
#include <QColor>

class QVariantAnimation;

// The platform's on/off switch: 51 × 31, a white thumb that slides over a grey (off) or
// coloured (on) track. A click toggles it and emits clicked() and valueChanged(); setOn() from
// code emits neither.
class UISwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit UISwitch(QWidget* parent = nullptr);

    bool isOn() const { return isChecked(); }
    void setOn(bool on, bool animated = false);
    QColor onTintColor() const { return _onTintColor; }
    void setOnTintColor(const QColor& color); // invalid = the platform default

    static QColor defaultOnTintColor() { return QColor(52, 199, 89); }
    static UIColor offTrackColor() { return {QColor(233, 233, 234), QColor(57, 57, 61)}; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // Where the thumb is, from 0 (off) to 1 (on); moves while a toggle animates.
    qreal thumbPosition() const { return _thumbPosition; }
    void finishAnimation();

signals:
    void valueChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    bool _showsFocusRing = false; // only for focus that came by the keyboard
    void animateThumbTo(qreal position);
    QRectF trackRect() const;

    QColor _onTintColor = defaultOnTintColor();
    qreal _thumbPosition = 0;
    bool _animateNextChange = false;
    QVariantAnimation* _animation = nullptr;
};
