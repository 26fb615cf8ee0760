#pragma once

#include <QColor>
#include <QObject>
#include <QPainterPath>
#include <QRectF>

// The filled circle in the middle of a colour row's indicator. It holds only its fill; the
// indicator paints it, and repaints whenever the fill changes.
class QEVColorSwatch : public QObject {
    Q_OBJECT
public:
    explicit QEVColorSwatch(QObject* parent = nullptr);

    QColor fillColor() const { return _fillColor; }
    void setFillColor(const QColor& color);

    // In the indicator's coordinates: a circle of diameter 21 at (4, 4).
    static QRectF rect() { return QRectF(4, 4, 21, 21); }
    static QPainterPath path();

signals:
    void fillColorChanged();

private:
    QColor _fillColor = Qt::black;
};
