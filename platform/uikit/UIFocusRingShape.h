#pragma once

#include <QRectF>

// A control whose focus ring follows its own shape rather than its bounds: a capsule, a circle,
// or a part of the control (a read-out's text, not the whole strip that takes its taps).
class UIFocusRingShape {
public:
    virtual ~UIFocusRingShape() = default;
    // The shape to ring, in the control's coordinates, and its corner radius (half the height
    // for a capsule or a circle).
    virtual QRectF focusRingRect() const = 0;
    virtual qreal focusRingRadius() const = 0;
};
