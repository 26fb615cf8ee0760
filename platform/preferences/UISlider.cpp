#include "preferences/UISlider.h"

#include "uikit/UITint.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>
#include <cmath>

namespace {

constexpr qreal kThumb = 28;
constexpr qreal kTrackHeight = 4;
constexpr qreal kGrabMargin = 8;        // a little room around the thumb still grabs it
constexpr qreal kDragInsideMargin = 70; // how far outside a drag still counts as inside
constexpr int kAnimationMs = 200;

void paintThumb(QPainter& p, const QRectF& thumb) {
    p.setPen(Qt::NoPen);
    const int alphas[] = {24, 16, 10, 5};
    for (int i = 0; i < 4; ++i) {
        const qreal grow = 0.5 + i * 0.75;
        p.setBrush(QColor(0, 0, 0, alphas[i]));
        p.drawEllipse(thumb.adjusted(-grow, -grow + 2, grow, grow + 2));
    }
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0, 0, 0, 14), 0.5));
    p.drawEllipse(thumb);
}

} // namespace

UISlider::UISlider(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

float UISlider::clamped(float value) const {
    const float inRange =
        std::isnan(value) ? _minimumValue : std::clamp(value, _minimumValue, _maximumValue);
    return inRange == 0.0f ? 0.0f : inRange; // never -0: it would read "-0.00" and be stored so
}

void UISlider::setValue(float value) {
    setValue(value, false);
}

void UISlider::setValue(float value, bool animated) {
    const float next = clamped(value);
    const float from = _shownValue;
    _value = next;
    announceValue();
    if (!animated || !isVisible()) {
        finishAnimation();
        return;
    }
    if (!_animation) {
        _animation = new QVariantAnimation(this);
        _animation->setDuration(kAnimationMs);
        _animation->setEasingCurve(QEasingCurve::OutCubic);
        connect(_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            _shownValue = v.toFloat();
            update();
        });
    }
    _animation->stop();
    _animation->setStartValue(from);
    _animation->setEndValue(next);
    _animation->start();
}

void UISlider::finishAnimation() {
    if (_animation)
        _animation->stop();
    _shownValue = _value;
    update();
}

void UISlider::setMinimumValue(float minimum) {
    if (!std::isfinite(minimum))
        return;
    _minimumValue = minimum;
    _maximumValue = std::max(_maximumValue, minimum);
    _value = clamped(_value);
    announceValue();
    finishAnimation();
}

void UISlider::setMaximumValue(float maximum) {
    if (!std::isfinite(maximum))
        return;
    _maximumValue = maximum;
    _minimumValue = std::min(_minimumValue, maximum);
    _value = clamped(_value);
    announceValue();
    finishAnimation();
}

qreal UISlider::trackLeft() const {
    return kThumb / 2;
}

qreal UISlider::trackWidth() const {
    return std::max<qreal>(0, width() - kThumb);
}

QPointF UISlider::pointForValue(float value) const {
    const float range = _maximumValue - _minimumValue;
    const qreal t = range > 0 ? (clamped(value) - _minimumValue) / range : 0;
    return QPointF(trackLeft() + t * trackWidth(), height() / 2.0);
}

QRectF UISlider::thumbRect() const {
    const QPointF c = pointForValue(_shownValue);
    return QRectF(c.x() - kThumb / 2, c.y() - kThumb / 2, kThumb, kThumb);
}

float UISlider::valueAtX(qreal x) const {
    const qreal w = trackWidth();
    const qreal t = w > 0 ? std::clamp((x - trackLeft()) / w, 0.0, 1.0) : 0.0;
    return clamped(float(_minimumValue + t * (_maximumValue - _minimumValue)));
}

QSize UISlider::sizeHint() const {
    return QSize(160, 34);
}

QSize UISlider::minimumSizeHint() const {
    return QSize(int(kThumb * 2), 34);
}

void UISlider::tintColorDidChange() {
    update();
}

void UISlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.5);
    const qreal cy = height() / 2.0;
    const QRectF track(trackLeft() - 1, cy - kTrackHeight / 2, trackWidth() + 2, kTrackHeight);
    const qreal thumbX = pointForValue(_shownValue).x();
    p.setPen(Qt::NoPen);
    p.setBrush(maximumTrackColor().resolvedColorForView(this));
    p.drawRoundedRect(track, kTrackHeight / 2, kTrackHeight / 2);
    QRectF filled = track;
    filled.setRight(thumbX);
    p.setBrush(UITint::tintColor(this));
    p.drawRoundedRect(filled, kTrackHeight / 2, kTrackHeight / 2);
    const QRectF thumb = thumbRect();
    paintThumb(p, thumb);
}

void UISlider::announceValue() {
    if (_value == _announcedValue)
        return;
    _announcedValue = _value;
    QAccessibleValueChangeEvent event(this, double(_value));
    QAccessible::updateAccessibility(&event);
}

void UISlider::setValueAsUser(float value) {
    if (!std::isnan(value))
        userSetValue(value);
}

void UISlider::userSetValue(float value) {
    const float next = clamped(value);
    if (next == _value)
        return;
    _value = next;
    announceValue();
    finishAnimation();
    emit valueChanged();
}

bool UISlider::isInsideForDrag(const QPointF& point) const {
    const QRectF area = QRectF(rect()).adjusted(-kDragInsideMargin, -kDragInsideMargin,
                                                kDragInsideMargin, kDragInsideMargin);
    return area.contains(point);
}

void UISlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    finishAnimation();
    const QPointF pos = event->position();
    const QRectF grab = thumbRect().adjusted(-kGrabMargin, -kGrabMargin, kGrabMargin, kGrabMargin);
    _tracking = true;
    if (grab.contains(pos)) {
        _grabOffset = pos.x() - thumbRect().center().x();
    } else {
        // A press on the track moves the thumb there, as desktop sliders do.
        _grabOffset = 0;
        userSetValue(valueAtX(pos.x()));
    }
    event->accept();
}

void UISlider::mouseMoveEvent(QMouseEvent* event) {
    if (!_tracking) {
        event->ignore();
        return;
    }
    const QPointF pos = event->position();
    userSetValue(valueAtX(pos.x() - _grabOffset));
    if (isInsideForDrag(pos))
        emit touchDragInside();
    else
        emit touchDragOutside();
}

void UISlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!_tracking || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    _tracking = false;
}

void UISlider::setStepHandler(std::function<void(int)> handler, float stepSize) {
    _stepHandler = std::move(handler);
    _stepSize = _stepHandler && std::isfinite(stepSize) && stepSize > 0 ? stepSize : 0;
}

float UISlider::stepSize() const {
    return _stepSize > 0 ? _stepSize : (_maximumValue - _minimumValue) / 20;
}

void UISlider::step(int direction) {
    if (direction == 0 || !isEnabled())
        return;
    if (_stepHandler) {
        _stepHandler(direction);
        return;
    }
    userSetValue(_value + (direction > 0 ? stepSize() : -stepSize()));
}

void UISlider::setValueTextRule(std::function<QString(float)> rule) {
    _valueTextRule = std::move(rule);
}

QString UISlider::valueText() const {
    return _valueTextRule ? _valueTextRule(_value) : QString::number(double(_value));
}

QRectF UISlider::focusRingRect() const {
    // A capsule round the track and the thumb, wherever the thumb is.
    const qreal inset = std::max<qreal>(0, (height() - kThumb) / 2);
    return QRectF(rect()).adjusted(0, inset, 0, -inset);
}

qreal UISlider::focusRingRadius() const {
    return focusRingRect().height() / 2;
}

void UISlider::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        step(-1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        step(1);
        break;
    case Qt::Key_Home:
        userSetValue(_minimumValue);
        break;
    case Qt::Key_End:
        userSetValue(_maximumValue);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
