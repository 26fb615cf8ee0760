#include "preferences/UISwitch.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {

constexpr qreal kWidth = 51;
constexpr qreal kHeight = 31;
constexpr qreal kThumb = 27;
constexpr int kToggleMs = 250;

QColor mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(
        a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
        a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

// A soft shadow under a round thumb: a few widening rings of falling opacity.
void paintThumbShadow(QPainter& p, const QRectF& thumb) {
    p.setPen(Qt::NoPen);
    const int alphas[] = {22, 16, 10, 5};
    for (int i = 0; i < 4; ++i) {
        const qreal grow = 0.5 + i * 0.75;
        p.setBrush(QColor(0, 0, 0, alphas[i]));
        p.drawEllipse(thumb.adjusted(-grow, -grow + 2, grow, grow + 2));
    }
}

} // namespace

UISwitch::UISwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    resize(sizeHint());
}

void UISwitch::setOn(bool on, bool animated) {
    {
        const QSignalBlocker blocker(this);
        _settingOn = true;
        setChecked(on);
        _settingOn = false;
    }
    // The thumb is placed here, not in checkStateSet(): a handler of valueChanged that puts the
    // switch back runs inside the click, which holds checkStateSet() back.
    if (animated)
        animateThumbTo(on ? 1 : 0);
    else
        finishAnimation();
}

void UISwitch::setOnTintColor(const QColor& color) {
    const QColor next = color.isValid() ? color : defaultOnTintColor();
    if (next == _onTintColor)
        return;
    _onTintColor = next;
    update();
}

QSize UISwitch::sizeHint() const {
    return QSize(int(kWidth), int(kHeight));
}

void UISwitch::finishAnimation() {
    if (_animation)
        _animation->stop();
    _thumbPosition = isChecked() ? 1 : 0;
    update();
}

void UISwitch::checkStateSet() {
    // A change made from code (setChecked) shows at once; setOn places the thumb itself.
    QAbstractButton::checkStateSet();
    if (!_settingOn)
        finishAnimation();
}

void UISwitch::nextCheckState() {
    QAbstractButton::nextCheckState();
    // A click or Space sets the state with the button's refresh held back, so checkStateSet()
    // never hears of it: the thumb is moved here.
    animateThumbTo(isChecked() ? 1 : 0);
    emit valueChanged();
}

void UISwitch::animateThumbTo(qreal position) {
    if (!_animation) {
        _animation = new QVariantAnimation(this);
        _animation->setEasingCurve(QEasingCurve::OutCubic);
        connect(_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            _thumbPosition = v.toReal();
            update();
        });
    }
    _animation->stop();
    _animation->setDuration(kToggleMs);
    _animation->setStartValue(_thumbPosition);
    _animation->setEndValue(position);
    _animation->start();
}

QRectF UISwitch::trackRect() const {
    return QRectF((width() - kWidth) / 2, (height() - kHeight) / 2, kWidth, kHeight);
}

void UISwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.5);
    const QRectF track = trackRect();
    p.setPen(Qt::NoPen);
    p.setBrush(mix(offTrackColor().resolvedColorForView(this), _onTintColor, _thumbPosition));
    p.drawRoundedRect(track, kHeight / 2, kHeight / 2);
    const qreal inset = (kHeight - kThumb) / 2;
    const qreal travel = kWidth - kThumb - 2 * inset;
    const QRectF thumb(track.left() + inset + travel * _thumbPosition, track.top() + inset, kThumb,
                       kThumb);
    paintThumbShadow(p, thumb);
    p.setBrush(Qt::white);
    p.drawEllipse(thumb);
}
