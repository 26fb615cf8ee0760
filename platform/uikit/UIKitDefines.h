#pragma once

// Enumerations shared by the UI-kit stand-in, with the device's raw values.

class UIViewController;
class UINavigationController;
class UINavigationItem;
class UINavigationBar;
class UIBarButtonItem;
class UIPresentationController;
class UIPopoverPresentationController;

enum class UIModalPresentationStyle { FullScreen = 0, Popover = 7, None = -1 };

enum UIPopoverArrowDirection {
    UIPopoverArrowDirectionUnknown = 0,
    UIPopoverArrowDirectionUp = 1,
    UIPopoverArrowDirectionDown = 2,
    UIPopoverArrowDirectionLeft = 4,
    UIPopoverArrowDirectionRight = 8,
    UIPopoverArrowDirectionAny = 15,
};
