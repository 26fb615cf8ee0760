#include "preferences/PSTableCell.h"

#include "preferences/PSSpecifier.h"
#include "uikit/UIColor.h"
#include "uikit/UIFocusRing.h"
#include "uikit/UIFont.h"
#include "uikit/UITint.h"

#include <QAccessible>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {

constexpr int kAccessorySpacing = 8;
constexpr int kDeselectMs = 300;

QLabel* makeLabel(QWidget* parent, const QFont& font, const UIColor& color) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    UIColor::setPaletteColor(label, QPalette::WindowText, color);
    // Inside the table's viewport the inherited foreground role is Text, which would draw every
    // label black; the label's own colour lives under WindowText.
    label->setForegroundRole(QPalette::WindowText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setTextFormat(Qt::PlainText);
    label->hide();
    return label;
}

// A rectangle with only some corners rounded, for the highlight of a section's end rows.
QPainterPath roundedPath(const QRectF& r, qreal radius, bool top, bool bottom) {
    QPainterPath path;
    const qreal t = top ? radius : 0;
    const qreal b = bottom ? radius : 0;
    path.moveTo(r.left(), r.top() + t);
    path.arcTo(QRectF(r.left(), r.top(), 2 * t, 2 * t), 180, -90);
    path.lineTo(r.right() - t, r.top());
    path.arcTo(QRectF(r.right() - 2 * t, r.top(), 2 * t, 2 * t), 90, -90);
    path.lineTo(r.right(), r.bottom() - b);
    path.arcTo(QRectF(r.right() - 2 * b, r.bottom() - 2 * b, 2 * b, 2 * b), 0, -90);
    path.lineTo(r.left() + b, r.bottom());
    path.arcTo(QRectF(r.left(), r.bottom() - 2 * b, 2 * b, 2 * b), 270, -90);
    path.closeSubpath();
    return path;
}

} // namespace

PSTableCell::PSTableCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                         QWidget* parent)
    : QWidget(parent), _style(style), _reuseIdentifier(reuseIdentifier), _specifier(specifier) {
    _contentView = new QWidget(this);
    _contentView->installEventFilter(this);
    _textLabel = makeLabel(_contentView, UIFont::systemFontOfSize(17), UIColor::labelColor());
    const qreal detailSize = style == UITableViewCellStyleValue1 ? 17 : 13;
    _detailTextLabel = makeLabel(_contentView, UIFont::systemFontOfSize(detailSize),
                                 UIColor::secondaryLabelColor());
    if (specifier)
        _textLabel->setText(specifier->name());
    resize(sizeHint());
}

PSTableCell::~PSTableCell() = default;

void PSTableCell::setAccessoryView(QWidget* view) {
    if (_accessoryView == view)
        return;
    if (_accessoryView && _accessoryView->parentWidget() == this)
        _accessoryView->hide();
    _accessoryView = view;
    if (view) {
        view->setParent(this);
        view->show();
    }
    layoutSubviews();
}

PSSpecifier* PSTableCell::specifier() const {
    return _specifier.data();
}

void PSTableCell::setSpecifier(PSSpecifier* specifier) {
    _specifier = specifier;
}

void PSTableCell::refreshCellContentsWithSpecifier(PSSpecifier* specifier) {
    if (specifier)
        _specifier = specifier;
    if (_specifier)
        _textLabel->setText(_specifier->name());
    if (actsAsControl())
        setAccessibleName(_textLabel->text());
    setNeedsLayout();
}

void PSTableCell::showStoredValue() {}

void PSTableCell::setControlOrder(const QList<QWidget*>& controls) {
    // QWidget::setTabOrder reads the chain as a ring: among a row's own controls, the first
    // already "follows" the last. The row itself, lent Tab focus for the moves, anchors the ring.
    const Qt::FocusPolicy policy = focusPolicy();
    setFocusPolicy(Qt::TabFocus);
    QWidget* previous = this;
    for (QWidget* control : controls) {
        if (!control || !isAncestorOf(control))
            continue;
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
    setFocusPolicy(policy);
}

void PSTableCell::setActsAsControl(bool acts) {
    setFocusPolicy(acts ? Qt::TabFocus : Qt::NoFocus);
    setAccessibleName(acts ? _textLabel->text() : QString());
}

bool PSTableCell::actsAsControl() const {
    return focusPolicy() & Qt::TabFocus;
}

void PSTableCell::press() {
    if (actsAsControl() && isEnabled())
        emit pressed(this);
}

QString PSTableCell::pressableValue() const {
    return _detailTextLabel->text();
}

void PSTableCell::detailTextDidChange() {
    if (!actsAsControl())
        return;
    QAccessibleValueChangeEvent value(this, _detailTextLabel->text());
    QAccessible::updateAccessibility(&value);
    QAccessibleEvent description(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
}

QRectF PSTableCell::focusRingRect() const {
    // Inside the row, clear of its neighbours and of the section's rounded corners.
    const qreal inset = UIFocusRing::kReach + 1;
    return QRectF(rect()).adjusted(inset, inset, -inset, -inset);
}

qreal PSTableCell::focusRingRadius() const {
    return 6;
}

void PSTableCell::keyPressEvent(QKeyEvent* event) {
    // Only the row's own focus: a key a control inside the row let pass is not the row's.
    if (hasFocus() && UIPressable::isPressKey(event)) {
        press();
        return;
    }
    QWidget::keyPressEvent(event);
}

QColor PSTableCell::tintColor() const {
    return UITint::tintColor(this);
}

void PSTableCell::setTintColor(const QColor& color) {
    UITint::setTintColor(this, color);
}

void PSTableCell::tintColorDidChange() {
    update();
}

void PSTableCell::setSelected(bool selected, bool animated) {
    _selected = selected;
    if (_selectionStyle == UITableViewCellSelectionStyleNone) {
        animateHighlightTo(0, false);
        return;
    }
    animateHighlightTo(selected ? 1 : 0, animated && !selected);
}

void PSTableCell::animateHighlightTo(qreal opacity, bool animated) {
    if (_highlightAnimation)
        _highlightAnimation->stop();
    if (!animated || _highlight == opacity) {
        _highlight = opacity;
        update();
        return;
    }
    if (!_highlightAnimation) {
        _highlightAnimation = new QVariantAnimation(this);
        _highlightAnimation->setDuration(kDeselectMs);
        connect(_highlightAnimation, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& v) {
                    _highlight = v.toReal();
                    update();
                });
    }
    _highlightAnimation->setStartValue(_highlight);
    _highlightAnimation->setEndValue(opacity);
    _highlightAnimation->start();
}

void PSTableCell::setNeedsLayout() {
    layoutSubviews();
}

void PSTableCell::setLayoutHeight(qreal height) {
    if (height <= 0 || height == _layoutHeight)
        return;
    _layoutHeight = height;
    layoutSubviews();
}

qreal PSTableCell::layoutHeight() const {
    return std::max<qreal>(height(), _layoutHeight);
}

void PSTableCell::setSectionCorners(qreal radius, bool top, bool bottom) {
    if (radius == _cornerRadius && top == _roundTop && bottom == _roundBottom)
        return;
    _cornerRadius = radius;
    _roundTop = top;
    _roundBottom = bottom;
    update();
}

QSize PSTableCell::sizeHint() const {
    return QSize(358, 44);
}

QSize PSTableCell::accessorySize() const {
    QSize size =
        _accessoryView->sizeHint().isValid() ? _accessoryView->sizeHint() : _accessoryView->size();
    return size.expandedTo(_accessoryView->minimumSize()).boundedTo(_accessoryView->maximumSize());
}

void PSTableCell::layoutSubviews() {
    if (_inLayout)
        return;
    _inLayout = true;
    const int w = width();
    const int h = qRound(layoutHeight());
    int contentWidth = w;
    if (_accessoryView && _accessoryView->parentWidget() == this && !_accessoryView->isHidden()) {
        const QSize size = accessorySize();
        const int x = w - kMargin - size.width();
        _accessoryView->setGeometry(x, (h - size.height()) / 2, size.width(), size.height());
        contentWidth = std::max(0, x - kAccessorySpacing);
    }
    _contentView->setGeometry(0, 0, contentWidth, h);
    layoutLabels(contentWidth, h);
    _inLayout = false;
}

void PSTableCell::layoutLabels(int width, int height) {
    const bool hasAccessory = width < this->width();
    const int left = kMargin;
    const int right = width - (hasAccessory ? 0 : kMargin);
    const bool showTitle = !_textLabel->text().isEmpty();
    const bool showDetail =
        !_detailTextLabel->text().isEmpty() && _style != UITableViewCellStyleDefault;
    _textLabel->setVisible(showTitle);
    _detailTextLabel->setVisible(showDetail);
    const int available = std::max(0, right - left);
    if (_style == UITableViewCellStyleSubtitle && showDetail) {
        const int titleHeight = _textLabel->fontMetrics().height();
        const int detailHeight = _detailTextLabel->fontMetrics().height();
        const int top = (height - titleHeight - 1 - detailHeight) / 2;
        _textLabel->setGeometry(left, top, available, titleHeight);
        _detailTextLabel->setGeometry(left, top + titleHeight + 1, available, detailHeight);
        return;
    }
    if (showDetail) {
        const int detailWidth = std::min(_detailTextLabel->sizeHint().width(), available * 3 / 5);
        _detailTextLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        _detailTextLabel->setGeometry(right - detailWidth, 0, detailWidth, height);
        _textLabel->setGeometry(left, 0, std::max(0, available - detailWidth - 8), height);
        return;
    }
    _textLabel->setGeometry(left, 0, available, height);
}

bool PSTableCell::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest)
        layoutSubviews();
    return QWidget::event(event);
}

bool PSTableCell::eventFilter(QObject* watched, QEvent* event) {
    // A label's new text asks its parent, the content view, for a new layout.
    if (watched == _contentView && event->type() == QEvent::LayoutRequest)
        layoutSubviews();
    return QWidget::eventFilter(watched, event);
}

void PSTableCell::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void PSTableCell::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    layoutSubviews();
}

void PSTableCell::paintEvent(QPaintEvent*) {
    if (_highlight <= 0)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QColor highlight = UIColor::systemGray4Color().resolvedColorForView(this);
    highlight.setAlphaF(float(_highlight));
    p.setBrush(highlight);
    p.drawPath(roundedPath(QRectF(rect()), _cornerRadius, _roundTop, _roundBottom));
}
