#include "EntryRow.h"

#include "uikit/UIColor.h"
#include "uikit/UIFont.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kRowHeight = 44;
constexpr qreal kIconSide = 29;
constexpr qreal kIconRadius = 6.5;
constexpr int kLeading = 16;
} // namespace

EntryRow::EntryRow(const QString& label, const QPixmap& icon, bool lastInSection, QWidget* parent)
    : QAbstractButton(parent), _icon(icon), _lastInSection(lastInSection) {
    setText(label);
    setFont(UIFont::systemFontOfSize(17));
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(label);
}

QSize EntryRow::sizeHint() const {
    return {320, kRowHeight};
}

void EntryRow::paintIcon(QPainter& painter, const QRectF& rect) const {
    QPainterPath clip;
    clip.addRoundedRect(rect, kIconRadius, kIconRadius);
    painter.save();
    painter.setClipPath(clip);
    if (_icon.isNull()) {
        // An entry without an icon still lines up with the others.
        painter.fillPath(clip, QColor(142, 142, 147));
    } else {
        painter.drawPixmap(rect, _icon, QRectF(_icon.rect()));
    }
    painter.restore();
}

void EntryRow::paintChevron(QPainter& painter) const {
    const qreal x = width() - kLeading - 5;
    const qreal y = height() / 2.0;
    QPen pen(UIColor::tertiaryLabelColor().resolvedColorForView(this), 2.2, Qt::SolidLine,
             Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.drawPolyline(QPolygonF{{x - 4.5, y - 7}, {x + 2, y}, {x - 4.5, y + 7}});
}

void EntryRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.fillRect(rect(), UIColor::systemGray4Color().resolvedColorForView(this));
    const QRectF iconRect(kLeading, (height() - kIconSide) / 2.0, kIconSide, kIconSide);
    paintIcon(painter, iconRect);
    const int textX = kLeading + int(kIconSide) + 16;
    painter.setPen(UIColor::labelColor().resolvedColorForView(this));
    painter.setFont(font());
    painter.drawText(QRect(textX, 0, width() - textX - 40, height()),
                     Qt::AlignVCenter | Qt::AlignLeft, text());
    paintChevron(painter);
    if (!_lastInSection) {
        // Separators start at the text, as the device's rows with icons do.
        painter.fillRect(QRectF(textX, height() - 0.5, width() - textX, 0.5),
                         UIColor::separatorColor().resolvedColorForView(this));
    }
}
