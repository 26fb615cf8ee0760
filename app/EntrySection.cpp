#include "EntrySection.h"

#include "uikit/UIColor.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal kCornerRadius = 10;
} // namespace

EntrySection::EntrySection(QWidget* parent) : QWidget(parent) {}

void EntrySection::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(path,
                     UIColor::secondarySystemGroupedBackgroundColor().resolvedColorForView(this));
}
