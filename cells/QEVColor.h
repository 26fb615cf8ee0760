#pragma once

#include <QColor>

// A colour value as the colour row keeps it: four double-precision components, nominally 0 to 1.
// Not a QColor: QColor clamps to 0..1 and keeps 16 bits per channel, while the codec must carry
// out-of-range components through unchanged and round-trip k / 255.0 exactly.
struct QEVColor {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 1.0;

    bool operator==(const QEVColor&) const = default;

    // For drawing only: each component clamped to 0..1 (NaN as 0).
    QColor toQColor() const;
    // A colour from a picker or a palette; exact for 8-bit channels.
    static QEVColor fromQColor(const QColor& color);
};
