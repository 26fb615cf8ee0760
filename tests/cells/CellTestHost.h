#pragma once

#include "common/TempDeviceRoot.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <QColor>
#include <QMap>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

// A list controller that keeps values in memory by each row's "key" and records every write,
// so a test sees exactly what a row stores and when. A row with nothing stored reads as the
// host's does: its "default".
class CellTestController : public PSListController {
public:
    QVariantMap stored;
    QVariantList writes;

    QVariant readPreferenceValue(PSSpecifier* specifier) override {
        const QString key = specifier->propertyForKey("key").toString();
        return stored.contains(key) ? stored.value(key)
                                    : PSListController::readPreferenceValue(specifier);
    }
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override {
        writes.append(value);
        stored.insert(specifier->propertyForKey("key").toString(), value);
        PSListController::setPreferenceValue(value, specifier);
    }
};

// Lets row lists name `Cell` by its class name, as the pane's registration does.
template <typename Cell> void registerCellClass(const QString& name) {
    PSCellClassRegistry::registerCellClass(
        name, [](int style, const QString& reuse, PSSpecifier* specifier) {
            return static_cast<PSTableCell*>(new Cell(style, reuse, specifier));
        });
}

// A bundle whose development region is English, with the given tables (name to ".strings"
// text) in its en.lproj.
inline NSBundle* makeStringsBundle(const TempDeviceRoot& root,
                                   const QMap<QString, QByteArray>& tables) {
    static int serial = 0;
    const QString device = QStringLiteral("/bundles/cells%1.bundle/").arg(++serial);
    root.writeFile(device + "Info.plist",
                   PropertyList::toXml(QVariantMap{{"CFBundleDevelopmentRegion", "en"}}));
    for (auto table = tables.cbegin(); table != tables.cend(); ++table)
        root.writeFile(device + "en.lproj/" + table.key() + ".strings", table.value());
    return NSBundle::bundleWithPath(root.hostPath(device));
}

// A row's cell as the host shows it: inside the pane's view, which sits in the key window's
// root view; or, for the fallback, in no view controller at all, beside a key window. A cell's
// own screen makes the cell (after any value it should read is stored) and then calls place().
template <typename Cell> struct CellScreen {
    TempDeviceRoot root;
    UIWindow window;
    UIViewController* rootController = new UIViewController(&window);
    UIViewController* pane = new UIViewController(&window);
    CellTestController controller;
    std::unique_ptr<PSSpecifier> specifier;
    Cell* cell = nullptr;

    CellScreen(QVariantMap properties, const QVariantMap& overrides,
               const QMap<QString, QByteArray>& tables) {
        controller.setBundle(makeStringsBundle(root, tables));
        properties.insert(overrides);
        specifier = std::make_unique<PSSpecifier>(properties, &controller);
        window.setRootViewController(rootController);
        window.resize(390, 844);
        pane->view()->setParent(rootController->view());
        pane->view()->setGeometry(0, 0, 390, 844);
    }
    ~CellScreen() {
        if (cell && !cell->parentWidget())
            delete cell;
    }
    CellScreen(const CellScreen&) = delete;
    CellScreen& operator=(const CellScreen&) = delete;

    QWidget* parentFor(bool inPane) const { return inPane ? pane->view() : nullptr; }
    void place(int height, bool inPane) {
        cell->setGeometry(16, 100, 358, height);
        window.makeKeyAndVisible();
        if (!inPane)
            cell->show();
        QCoreApplication::processEvents();
    }
    // Taps `target`; gives the alert shown by `presenter`, if any.
    static UIAlertController* tapForAlert(QWidget* target, UIViewController* presenter) {
        if (!target)
            return nullptr;
        QTest::mouseClick(target, Qt::LeftButton);
        return qobject_cast<UIAlertController*>(presenter->presentedViewController());
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
