#pragma once

// Shared with tests/pane, whose colour row test stores through the pane.

#include "cells/QEVColorPickerCell.h"
#include "uikit/UIColorPickerViewController.h"

#include <QVariantMap>

inline QVariantMap colorRow(const QString& key, QVariantMap extra = {}) {
    extra.insert({{"cell", "PSButtonCell"},
                  {"cellClass", "QEVColorPickerCell"},
                  {"label", key},
                  {"key", key}});
    return extra;
}

// One report of the picker: its selected colour set and its delegate told, once.
inline void pick(QEVColorPickerCell& cell, const QColor& color) {
    cell.colorPicker()->setSelectedColor(color);
    cell.colorPickerViewControllerDidSelectColor(cell.colorPicker());
}
