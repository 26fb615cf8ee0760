#pragma once

#include "uikit/UIColor.h"
#include "uikit/UIFocusRingShape.h"
#include "uikit/UITintObserver.h"

#include <QWidget>
#include <functional>

class QVariantAnimation;

// The platform's slider: single-precision value within [minimumValue, maximumValue], a 4-high
// track filled in the tint up to a round white thumb. Dragging emits valueChanged() and then
// touchDragInside() or touchDragOutside() on every movement (the control events 4096, 4 and 8);
// setValue() from code emits nothing.
//
// From the keyboard (the slider focused) and from assistive technologies: Left and Down step
// down, Right and Up step up, Home and End go to the bounds. A step moves a twentieth of the
// range unless the owner gives its own rule (setStepHandler), which then makes the change and
// reports it itself. Every change of the value is announced to assistive technologies.
class UISlider : public QWidget, public UITintObserver, public UIFocusRingShape {
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

    // A change as a person makes it: clamped, shown at once, and emitted as valueChanged().
    // A value that is no number changes nothing.
    void setValueAsUser(float value);
    // One step up (direction > 0) or down, as the keyboard makes it.
    void step(int direction);
    // The owner's own step rule, and the size of a step near the current value, for assistive
    // technologies; an empty handler brings back the twentieth of the range.
    void setStepHandler(std::function<void(int direction)> handler, float stepSize);
    float stepSize() const;
    // The value as the owner shows it in words (a read-out beside the slider, say).
    void setValueTextRule(std::function<QString(float)> rule);
    QString valueText() const;

    // Geometry, for the cell's layout and for tests.
    QRectF thumbRect() const;
    QPointF pointForValue(float value) const;
    void finishAnimation();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void tintColorDidChange() override;
    QRectF focusRingRect() const override;
    qreal focusRingRadius() const override;

    static UIColor maximumTrackColor() { return {QColor(229, 229, 234), QColor(57, 57, 61)}; }

signals:
    void touchDragInside();
    void touchDragOutside();
    void valueChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    float clamped(float value) const;
    float valueAtX(qreal x) const;
    qreal trackLeft() const;
    qreal trackWidth() const;
    void userSetValue(float value);
    void announceValue();
    bool isInsideForDrag(const QPointF& point) const;

    float _value = 0;
    float _minimumValue = 0;
    float _maximumValue = 1;
    float _shownValue = 0; // differs from _value while an animated change runs
    bool _tracking = false;
    qreal _grabOffset = 0;
    QVariantAnimation* _animation = nullptr;
    float _announcedValue = 0;
    std::function<void(int)> _stepHandler;
    float _stepSize = 0;
    std::function<QString(float)> _valueTextRule;
};
