#pragma once

#include "common/RecordingListController.h"
#include "common/TestBundle.h"

#include "framework/QEVRootListController.h"

#include <QCoreApplication>
#include <QWidget>

// The pane's base list controller over a row list "Root" of a bundle of its own in the test's
// device root, values kept in memory.
struct PaneList {
    RecordingListController<QEVRootListController> controller;

    PaneList(const TempDeviceRoot& root, const QVariantList& items) {
        controller.setBundle(makeRowListBundle(root, items));
        controller.view();
    }
    // Shows the list in a window, so the table makes cells for the rows in view.
    void show() {
        controller.view()->resize(390, 844);
        controller.view()->show();
        QCoreApplication::processEvents();
    }
    PSSpecifier* row(int listIndex) { return controller.specifiers().at(listIndex); }
    // The height the pane gives the row, or its height before any group collapses it.
    double height(int listIndex) { return controller.heightOf(listIndex); }
    double baseHeight(int listIndex) {
        const auto path = controller.indexPathForSpecifier(row(listIndex));
        return controller.PSListController::heightForRowAtIndexPath(controller.table(), *path);
    }
};
