#pragma once

#include "CellTestHost.h"

#include "cells/QEVSwitchCell.h"
#include "cells/UIInfoButton.h"

// A switch row's cell on screen. Its bundle's English "Info" table and default ("Localizable")
// table hold "\\n", so the looked-up texts carry a backslash and an n, as a row list's authors
// write them.
struct SwitchRowScreen : CellScreen<QEVSwitchCell> {
    explicit SwitchRowScreen(const QVariantMap& properties, bool inPane = true)
        : CellScreen({{"cell", "PSSwitchCell"},
                      {"cellClass", "QEVSwitchCell"},
                      {"label", "Mini Player"},
                      {"key", "mini"}},
                     properties,
                     {{"Info", "\"msg.two\" = \"Line one\\\\nLine two\";\n"
                               "\"msg.plain\" = \"Plays in a small window.\";\n"
                               "\"title.key\" = \"Translated title\";\n"},
                      {"Localizable", "\"msg.plain\" = \"From the default table\";\n"}}) {
        cell = new QEVSwitchCell(0, "QEVSwitchCell", specifier.get(), parentFor(inPane));
        place(44, inPane);
    }

    // Taps the info button; gives the alert shown by `presenter`, if any.
    UIAlertController* tapInfo(UIViewController* presenter) {
        return tapForAlert(cell->infoButton(), presenter);
    }
};
