#pragma once

#include "uikit/UIColor.h"
#include "uikit/UITintObserver.h"

#include <QWidget>

class QVariantAnimation;

// The platform's slider: single-precision value within [minimumValue, maximumValue], a 4-high
// track filled in the tint up to a round white thumb. Dragging emits valueChanged() and then
// touchDragInside() or touchDragOutside() on every movement (the control events 4096, 4 and 8);
// setValue() from code emits nothing.
class UISlider : public QWidget, public UITintObserver {
    Q_OBJECT
public:
    explicit UISlider(QWidget* parent = nullptr);

    float value() const { return _value; }
    void setValue(float value);
    void setValue(float value, bool animated);
    float minimumValue() const { return _minimumValue; }
    float maximumValue() const { return _maximumValue; }
    // As on the device, a new minimum above the maximum raises the maximum to it, and a new
    // maximum below the minimum lowers the minimum; the value is clamped into the new range.
    void setMinimumValue(float minimum);
    void setMaximumValue(float maximum);
    bool isContinuous() const { return _continuous; }
    void setContinuous(bool continuous) { _continuous = continuous; }
    bool isTracking() const { return _tracking; }

    // Geometry, for the cell's layout and for tests.
    QRectF thumbRect() const;
    QPointF pointForValue(float value) const;
    void finishAnimation();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void tintColorDidChange() override;

    static UIColor maximumTrackColor() { return {QColor(229, 229, 234), QColor(57, 57, 61)}; }

signals:
    void touchDown();
    void touchDragInside();
    void touchDragOutside();
    void touchUpInside();
    void touchUpOutside();
    void valueChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool _showsFocusRing = false; // only for focus that came by the keyboard
    float clamped(float value) const;
    float valueAtX(qreal x) const;
    qreal trackLeft() const;
    qreal trackWidth() const;
    void userSetValue(float value);
    bool isInsideForDrag(const QPointF& point) const;

    float _value = 0;
    float _minimumValue = 0;
    float _maximumValue = 1;
    float _shownValue = 0; // differs from _value while an animated change runs
    bool _continuous = true;
    bool _tracking = false;
    qreal _grabOffset = 0;
    QVariantAnimation* _animation = nullptr;
};
