#pragma once

#include "cells/QEVColorIndicatorView.h"
#include "cells/QEVColorPickerCell.h"
#include "cells/QEVColorSwatch.h"
#include "common/TempDeviceRoot.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "uikit/UIColorPickerViewController.h"

#include <QColorDialog>
#include <QHash>
#include <QLabel>
#include <QList>
#include <gtest/gtest.h>
#include <memory>

// A list controller that keeps values in memory by each row's "key" and records every write,
// so a test sees exactly what a colour row stores and when.
class ColorTestController : public PSListController {
public:
    QHash<QString, QVariant> stored;
    QList<QVariant> writes;

    QVariant readPreferenceValue(PSSpecifier* specifier) override {
        const QString key = specifier->propertyForKey("key").toString();
        const auto found = stored.constFind(key);
        return found != stored.cend() ? found.value() : specifier->propertyForKey("default");
    }
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override {
        writes.append(value);
        stored.insert(specifier->propertyForKey("key").toString(), value);
        PSListController::setPreferenceValue(value, specifier);
    }
};

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
    ColorTestController controller;

    PSSpecifier* specifierFor(const QVariantMap& properties) {
        return new PSSpecifier(properties, &controller, &controller);
    }
    std::unique_ptr<QEVColorPickerCell> makeCell(const QVariantMap& properties,
                                                 int style = UITableViewCellStyleDefault) {
        return std::make_unique<QEVColorPickerCell>(style, "QEVColorPickerCell",
                                                    specifierFor(properties));
    }
};

// Channel-wise comparison with a tolerance, for painted pixels.
inline testing::AssertionResult colorNear(const QColor& actual, const QColor& expected,
                                          int tolerance) {
    const int d = std::max(
        {std::abs(actual.red() - expected.red()), std::abs(actual.green() - expected.green()),
         std::abs(actual.blue() - expected.blue()), std::abs(actual.alpha() - expected.alpha())});
    if (d <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "got " << actual.name(QColor::HexArgb).toStdString() << ", expected "
           << expected.name(QColor::HexArgb).toStdString() << " (off by " << d << ")";
}
