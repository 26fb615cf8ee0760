#pragma once

#include "uikit/UIColor.h"
#include "uikit/UIFocusRingShape.h"

#include <QAbstractButton>
#include <QColor>

class QVariantAnimation;

// The platform's on/off switch: 51 × 31, a white thumb that slides over a grey (off) or
// coloured (on) track. A click toggles it and emits clicked() and valueChanged(); setOn() from
// code emits neither. Space toggles the focused switch as a click does.
class UISwitch : public QAbstractButton, public UIFocusRingShape {
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
    void finishAnimation();

    QRectF focusRingRect() const override { return trackRect(); }
    qreal focusRingRadius() const override { return trackRect().height() / 2; }

signals:
    void valueChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    void animateThumbTo(qreal position);
    QRectF trackRect() const;

    QColor _onTintColor = defaultOnTintColor();
    qreal _thumbPosition = 0;
    bool _settingOn = false;
    QVariantAnimation* _animation = nullptr;
};
