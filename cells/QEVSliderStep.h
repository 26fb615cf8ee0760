#pragma once

// The slider row's step rule, in single precision throughout. The slider's maximum alone picks
// the step: up to 1, steps of 0.01 with no alignment; up to 10, the next multiple of 0.1 in the
// step's direction; above that, the next whole number. Bounds are inclusive.
class QEVSliderStep {
public:
    // The candidate of one step, before any clamping.
    static float up(float value, float maximum);
    static float down(float value, float maximum);

    // A step clamped on its own side only: up stops at the maximum, down at the minimum.
    static float clampedUp(float value, float maximum);
    static float clampedDown(float value, float minimum, float maximum);
    // The size of a step between aligned values, for those who ask in advance.
    static float size(float maximum);

    // Zero for negative zero: a step up from just below zero can land on -0 (the ceiling of
    // -0.4 is -0), which would be shown as "-0.00" and stored with its sign.
    static float unsignedZero(float value) { return value == 0.0f ? 0.0f : value; }

    static constexpr float kFineStep = 0.01f;
    static constexpr float kTenthStep = 0.1f;
};
