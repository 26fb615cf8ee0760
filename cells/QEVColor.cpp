#include "cells/QEVColor.h"

#include <algorithm>
#include <cmath>

namespace {

float drawable(double component) {
    if (std::isnan(component))
        return 0.0f;
    return float(std::clamp(component, 0.0, 1.0));
}

} // namespace

QColor QEVColor::toQColor() const {
    return QColor::fromRgbF(drawable(red), drawable(green), drawable(blue), drawable(alpha));
}

QEVColor QEVColor::fromQColor(const QColor& color) {
    // The 8-bit channels, so a picked colour formats back to the digits the picker shows.
    const QColor rgb = color.toRgb();
    return {rgb.red() / 255.0, rgb.green() / 255.0, rgb.blue() / 255.0, rgb.alpha() / 255.0};
}
