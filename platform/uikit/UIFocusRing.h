#pragma once

#include <QPointer>
#include <QWidget>

// The ring around the control that has the keyboard focus. It is drawn over the control's
// window, so neither a neighbour nor a parent that clips its children hides it; only a list's
// viewport (or the window's edge) cuts it off, as it cuts off the control. It follows the
// control as the list scrolls or rows move, and goes with it. It is drawn in the tint the control
// sits in (UITint), whatever colour the control itself takes.
class UIFocusRing : public QWidget {
    Q_OBJECT
public:
    explicit UIFocusRing(QWidget* control);

    QWidget* control() const { return _control; }

    // The ring's look, decided here alone: a band in `tint` round `shape` (a rectangle with
    // corner `radius`, in the painter's coordinates), with an inner edge in the colour that
    // stands out most from the tint, so the ring is clear on light and on dark rows alike.
    static void paint(QPainter& painter, const QRectF& shape, qreal radius, const QColor& tint);
    // The shape ringed for `control`, in its coordinates (UIFocusRingShape, else its bounds).
    static QRectF shapeOf(const QWidget* control, qreal* radius);
    // A widget that takes the focus for others (a layer keeping the keyboard) is never ringed.
    static void setRingable(QWidget* widget, bool ringable);
    static bool isRingable(const QWidget* widget);

    static constexpr qreal kEdge = 1.5; // the inner edge
    static constexpr qreal kBand = 2.5; // the tinted band outside it
    static constexpr qreal kReach = kEdge + kBand;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void watchAncestors();
    void place();
    QRect clipInWindow() const;

    QPointer<QWidget> _control;
    QList<QPointer<QWidget>> _watched;
};
