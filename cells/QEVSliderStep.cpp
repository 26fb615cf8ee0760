#include "cells/QEVSliderStep.h"

#include <cmath>

float QEVSliderStep::up(float value, float maximum) {
    if (maximum <= 1.0f)
        return value + kFineStep;
    if (maximum <= 10.0f) {
        const float aligned = std::ceil(value * 10.0f) / 10.0f;
        return aligned > value ? aligned : value + kTenthStep;
    }
    const float aligned = std::ceil(value);
    return aligned > value ? aligned : value + 1.0f;
}

float QEVSliderStep::down(float value, float maximum) {
    if (maximum <= 1.0f)
        return value - kFineStep;
    if (maximum <= 10.0f) {
        const float aligned = std::floor(value * 10.0f) / 10.0f;
        return aligned < value ? aligned : value - kTenthStep;
    }
    const float aligned = std::floor(value);
    return aligned < value ? aligned : value - 1.0f;
}

float QEVSliderStep::clampedUp(float value, float maximum) {
    const float candidate = up(value, maximum);
    return unsignedZero(candidate < maximum ? candidate : maximum);
}

float QEVSliderStep::clampedDown(float value, float minimum, float maximum) {
    const float candidate = down(value, maximum);
    return unsignedZero(candidate < minimum ? minimum : candidate);
}

float QEVSliderStep::size(float maximum) {
    if (maximum <= 1.0f)
        return kFineStep;
    return maximum <= 10.0f ? kTenthStep : 1.0f;
}
