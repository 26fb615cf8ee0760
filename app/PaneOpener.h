#pragma once

#include "SettingsEntry.h"

class PSListController;
class UINavigationController;

// Opens an entry's pane as the host does: loads its bundle, makes its principal controller and
// pushes it, inside a navigation controller of its own, onto the Settings navigation stack.
class PaneOpener {
public:
    // The pane controller, or nullptr with `error` saying why (nothing is pushed then).
    static PSListController* open(const SettingsEntry& entry, UINavigationController* outer,
                                  bool animated, QString* error);
};
