#include "PaneRegistration.h"

#include "cells/QEVColorPickerCell.h"
#include "cells/QEVSliderCell.h"
#include "cells/QEVSwitchCell.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSControllerRegistry.h"

namespace {
template <typename Controller> void registerController(const char* name) {
    PSControllerRegistry::registerControllerClass(
        QString::fromLatin1(name), [] { return static_cast<PSListController*>(new Controller()); });
}

template <typename Cell> void registerCell(const char* name) {
    PSCellClassRegistry::registerCellClass(
        QString::fromLatin1(name),
        [](int style, const QString& reuseIdentifier, PSSpecifier* specifier) {
            return static_cast<PSTableCell*>(new Cell(style, reuseIdentifier, specifier));
        });
}
} // namespace

void registerPaneClasses() {
    registerController<TOLVPLAYERPreferencesListController>("TOLVPLAYERPreferencesListController");
    // One line per cell class, e.g. registerCell<QEVSwitchCell>("QEVSwitchCell");
    registerCell<QEVColorPickerCell>("QEVColorPickerCell");
    registerCell<QEVSliderCell>("QEVSliderCell");
    registerCell<QEVSwitchCell>("QEVSwitchCell");
}
