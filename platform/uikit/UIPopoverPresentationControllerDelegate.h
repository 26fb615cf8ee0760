#pragma once

#include "uikit/UIKitDefines.h"

// Told by a popover presentation how to adapt on a narrow window; None keeps the popover.
class UIPopoverPresentationControllerDelegate {
public:
    virtual ~UIPopoverPresentationControllerDelegate() = default;
    virtual UIModalPresentationStyle
    adaptivePresentationStyleForPresentationController(UIPresentationController* controller) = 0;
};
