#pragma once

#include "CellTestHost.h"

#include "cells/QEVColorIndicatorView.h"
#include "cells/QEVColorPickerCell.h"
#include "cells/QEVColorSwatch.h"

#include "preferences/PSSpecifier.h"
#include "uikit/UIColorPickerViewController.h"

#include <QColorDialog>
#include <QLabel>
#include <memory>

inline QVariantMap colorRow(const QString& key, const QVariantMap& extra = {}) {
    QVariantMap row{{"cell", "PSButtonCell"},
                    {"cellClass", "QEVColorPickerCell"},
                    {"label", key},
                    {"key", key}};
    row.insert(extra);
    return row;
}

// One report of the picker: its selected colour is set and its delegate told, once.
inline void pick(QEVColorPickerCell& cell, const QColor& color) {
    UIColorPickerViewController* picker = cell.colorPicker();
    picker->setSelectedColor(color);
    picker->delegate()->colorPickerViewControllerDidSelectColor(picker);
}

// A colour cell for one row, its specifier owned by the fixture's controller.
class ColorCellTest : public testing::Test {
protected:
    CellTestController controller;

    PSSpecifier* specifierFor(const QVariantMap& properties) {
        return new PSSpecifier(properties, &controller, &controller);
    }
    std::unique_ptr<QEVColorPickerCell> makeCell(const QVariantMap& properties,
                                                 int style = UITableViewCellStyleDefault) {
        return std::make_unique<QEVColorPickerCell>(style, "QEVColorPickerCell",
                                                    specifierFor(properties));
    }
};
