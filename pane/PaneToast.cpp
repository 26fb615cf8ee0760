#include "PaneToast.h"

#include "uikit/UIFont.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace {
QLabel* makeLabel(QWidget* parent, const QFont& font, const QColor& color) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}
} // namespace

PaneToast::PaneToast(QWidget* parent, const QColor& background)
    : QWidget(parent), _background(background) {
    // Seen, never in the way: clicks reach the rows below and the focus stays where it is.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 11, 16, 12);
    layout->setSpacing(2);
    _title = makeLabel(this, UIFont::systemFontOfSize(15, QFont::DemiBold), Qt::white);
    _detail = makeLabel(this, UIFont::systemFontOfSize(13), QColor(255, 255, 255, 217));
    layout->addWidget(_title);
    layout->addWidget(_detail);

    _opacity = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(_opacity);
    _fade = new QPropertyAnimation(_opacity, "opacity", this);
    _fade->setDuration(kFadeMilliseconds);
    _fade->setEndValue(0.0);
    connect(_fade, &QPropertyAnimation::finished, this, &QWidget::hide);
    _shown.setSingleShot(true);
    _shown.setInterval(kShownMilliseconds);
    connect(&_shown, &QTimer::timeout, this, &PaneToast::fadeOut);
    if (parent)
        parent->installEventFilter(this);
    hide();
}

void PaneToast::showMessage(const QString& title, const QString& detail, QWidget* area,
                            QWidget* about) {
    _area = area;
    _about = about;
    _title->setText(title);
    _detail->setText(detail);
    _detail->setVisible(!detail.isEmpty());
    _fade->stop();
    _opacity->setOpacity(1.0);
    place();
    show();
    raise(); // above anything presented since it was made
    _shown.start();
}

void PaneToast::fadeOut() {
    _fade->setStartValue(_opacity->opacity());
    _fade->start();
}

void PaneToast::place() {
    QWidget* window = parentWidget();
    if (!window)
        return;
    const auto inWindow = [window](QWidget* view) {
        return view && view->isVisible() ? QRect(view->mapTo(window, QPoint(0, 0)), view->size())
                                         : QRect();
    };
    const QRect area = _area ? inWindow(_area) : window->rect();
    const int width = std::max(0, area.width() - 2 * kMargin);
    const int height = layout()->totalHeightForWidth(width);
    QRect frame(area.left() + kMargin, area.bottom() + 1 - kInset - height, width, height);
    if (frame.intersects(inWindow(_about)))
        frame.moveTop(area.top() + kInset);
    setGeometry(frame);
}

bool PaneToast::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QWidget::eventFilter(watched, event);
}

void PaneToast::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(_background);
    painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
}
