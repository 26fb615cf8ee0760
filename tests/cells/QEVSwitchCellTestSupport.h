#pragma once

#include "common/TempDeviceRoot.h"

#include "cells/QEVSwitchCell.h"
#include "cells/UIInfoButton.h"
#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <QTest>
#include <memory>

// A list controller that keeps values in memory and counts what it is asked to store.
class SwitchRowController : public PSListController {
public:
    QVariantMap stored;
    int storeCount = 0;
    QVariant readPreferenceValue(PSSpecifier* specifier) override {
        return stored.value(specifier->propertyForKey("key").toString());
    }
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override {
        ++storeCount;
        stored.insert(specifier->propertyForKey("key").toString(), value);
    }
};

// A bundle with an English "Info" table and a default ("Localizable") table. The files hold
// "\\n", so the looked-up texts carry a backslash and an n, as a row list's authors write them.
inline NSBundle* makeInfoBundle(const TempDeviceRoot& root) {
    static int serial = 0;
    const QString device = QStringLiteral("/bundles/info%1.bundle/").arg(++serial);
    root.writeFile(device + "Info.plist",
                   PropertyList::toXml(QVariantMap{{"CFBundleDevelopmentRegion", "en"}}));
    root.writeFile(device + "en.lproj/Info.strings",
                   "\"msg.two\" = \"Line one\\\\nLine two\";\n"
                   "\"msg.plain\" = \"Plays in a small window.\";\n"
                   "\"title.key\" = \"Translated title\";\n");
    root.writeFile(device + "en.lproj/Localizable.strings",
                   "\"msg.plain\" = \"From the default table\";\n");
    return NSBundle::bundleWithPath(root.hostPath(device));
}

// A switch row's cell as the host shows it: in the pane's view, itself inside the key window's
// root view; or, for the fallback, in no view controller at all, beside a key window.
struct SwitchRowScreen {
    TempDeviceRoot root;
    UIWindow window;
    UIViewController* rootController = new UIViewController(&window);
    UIViewController* pane = new UIViewController(&window);
    SwitchRowController controller;
    std::unique_ptr<PSSpecifier> specifier;
    QEVSwitchCell* cell = nullptr;

    explicit SwitchRowScreen(const QVariantMap& properties, bool inPane = true) {
        controller.setBundle(makeInfoBundle(root));
        QVariantMap all{{"cell", "PSSwitchCell"},
                        {"cellClass", "QEVSwitchCell"},
                        {"label", "Mini Player"},
                        {"key", "mini"}};
        all.insert(properties);
        specifier = std::make_unique<PSSpecifier>(all, &controller);
        window.setRootViewController(rootController);
        window.resize(390, 844);
        pane->view()->setParent(rootController->view());
        pane->view()->setGeometry(0, 0, 390, 844);
        cell =
            new QEVSwitchCell(0, "QEVSwitchCell", specifier.get(), inPane ? pane->view() : nullptr);
        cell->setGeometry(16, 100, 358, 44);
        window.makeKeyAndVisible();
        if (!inPane)
            cell->show();
        QCoreApplication::processEvents();
    }
    ~SwitchRowScreen() {
        if (!cell->parentWidget())
            delete cell;
    }

    // Taps the info button; gives the alert shown by `presenter`, if any.
    UIAlertController* tapInfo(UIViewController* presenter) {
        if (!cell->infoButton())
            return nullptr;
        QTest::mouseClick(cell->infoButton(), Qt::LeftButton);
        return qobject_cast<UIAlertController*>(presenter->presentedViewController());
    }
};
