#pragma once

class UIColorPickerViewController;

// Told of every colour the user picks, as it is picked.
class UIColorPickerViewControllerDelegate {
public:
    virtual ~UIColorPickerViewControllerDelegate() = default;
    virtual void colorPickerViewControllerDidSelectColor(UIColorPickerViewController* picker) = 0;
};
