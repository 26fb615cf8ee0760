#pragma once

#include "common/QtPrinters.h"
#include "common/RecordingListController.h"
#include "common/TempDeviceRoot.h"
#include "common/TestBundle.h"

#include "cells/QEVColorPickerCell.h"
#include "cells/QEVSliderCell.h"
#include "cells/QEVSwitchCell.h"
#include "cells/QEVValueLabel.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UISlider.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIColorPickerViewController.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using CellController = RecordingListController<>;

// A row's cell as the host shows it: inside the pane's view, which sits in the key window's
// root view; or, `inPane` false, in no view controller at all, beside a key window. The bundle
// holds the given strings tables (name to ".strings" text) in its en.lproj.
template <typename Cell> struct RowScreen {
    TempDeviceRoot root;
    UIWindow window;
    UIViewController* rootController = new UIViewController(&window);
    UIViewController* pane = new UIViewController(&window);
    CellController controller;
    std::unique_ptr<PSSpecifier> specifier;
    Cell* cell = nullptr;

    RowScreen(const QVariantMap& properties, const QVariant& stored,
              const QMap<QString, QByteArray>& tables, int height, bool inPane) {
        QMap<QString, QByteArray> files;
        for (auto table = tables.cbegin(); table != tables.cend(); ++table)
            files.insert("en.lproj/" + table.key() + ".strings", table.value());
        controller.setBundle(makeTestBundle(root, files));
        specifier = std::make_unique<PSSpecifier>(properties, &controller);
        if (stored.isValid())
            controller.stored.insert(properties.value("key").toString(), stored);
        window.setRootViewController(rootController);
        window.resize(390, 844);
        pane->view()->setParent(rootController->view());
        pane->view()->setGeometry(0, 0, 390, 844);
        cell = new Cell(0, "cell", specifier.get(), inPane ? pane->view() : nullptr);
        specifier->setProperty(QVariant::fromValue<QObject*>(cell), PSTableCellKey);
        cell->refreshCellContentsWithSpecifier(specifier.get());
        cell->setGeometry(16, 100, 358, height);
        window.makeKeyAndVisible();
        if (!inPane)
            cell->show();
        QCoreApplication::processEvents();
    }
    ~RowScreen() {
        if (cell && !cell->parentWidget())
            delete cell;
    }

    // Clicks `target`; gives the alert `presenter` then shows, if any.
    static UIAlertController* tapForAlert(QWidget* target, UIViewController* presenter) {
        if (!target)
            return nullptr;
        QTest::mouseClick(target, Qt::LeftButton);
        return qobject_cast<UIAlertController*>(presenter->presentedViewController());
    }
};

inline QVariantMap withDefaults(const QVariantMap& properties, QVariantMap defaults) {
    defaults.insert(properties);
    return defaults;
}

// A slider row, "v", from 0 to 10 unless the properties say otherwise.
struct SliderRow : RowScreen<QEVSliderCell> {
    explicit SliderRow(const QVariantMap& properties, const QVariant& stored = {},
                       bool inPane = true)
        : RowScreen(withDefaults(properties, {{"cell", "PSSliderCell"},
                                              {"key", "v"},
                                              {"label", "Volume"},
                                              {"min", 0.0},
                                              {"max", 10.0}}),
                    stored, {}, 50, inPane) {}
    UISlider* slider() const { return cell->control(); }
    QString readout() const { return cell->valueLabel()->text(); }
    // Taps the read-out, types `text` and confirms; false when no entry opened.
    bool typeAndConfirm(const QString& text, UIViewController* presenter = nullptr) {
        UIAlertController* alert = tapForAlert(cell->valueLabel(), presenter ? presenter : pane);
        if (!alert || alert->textFields().size() != 1 || alert->actions().isEmpty())
            return false;
        alert->textFields().first()->setText(text);
        alert->triggerAction(alert->actions().first()); // "设置"
        return true;
    }
};

// A switch row, "mini". Its English "Info" table and default table hold "\\n", so looked-up
// texts carry a backslash and an n, as a row list's authors write them.
struct SwitchRow : RowScreen<QEVSwitchCell> {
    explicit SwitchRow(const QVariantMap& properties, bool inPane = true)
        : RowScreen(withDefaults(properties,
                                 {{"cell", "PSSwitchCell"}, {"label", "Mini"}, {"key", "mini"}}),
                    {},
                    {{"Info", "\"msg.two\" = \"Line one\\\\nLine two\";\n"
                              "\"msg.plain\" = \"Plays in a small window.\";\n"},
                     {"Localizable", "\"msg.plain\" = \"From the default table\";\n"}},
                    44, inPane) {}
};

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

// A colour row, "c".
struct ColorRow : RowScreen<QEVColorPickerCell> {
    explicit ColorRow(const QVariantMap& properties, const QVariant& stored = {})
        : RowScreen(colorRow("c", properties), stored, {}, 44, true) {}
    void pick(const QColor& color) { ::pick(*cell, color); }
};
