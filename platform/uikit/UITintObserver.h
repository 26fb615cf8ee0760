#pragma once

// A widget that reacts to a change of its effective tint colour (see UITint).
class UITintObserver {
public:
    virtual ~UITintObserver() = default;
    virtual void tintColorDidChange() {}
};
