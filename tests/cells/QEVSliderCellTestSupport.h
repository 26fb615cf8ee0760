#pragma once

#include "common/TempDeviceRoot.h"

#include "cells/QEVSliderCell.h"
#include "cells/QEVValueLabel.h"
#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UISlider.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UISelectionFeedbackGenerator.h"
#include "uikit/UITextField.h"
#include "uikit/UITint.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <memory>

// Sets a locale for one test and puts the previous one back.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) : _previous(QLocale()) {
        QLocale::setDefault(locale);
    }
    ~ScopedLocale() { QLocale::setDefault(_previous); }

private:
    QLocale _previous;
};

// A list controller that keeps values in memory and records every value it is asked to store.
class SliderRowController : public PSListController {
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
    }
};

// A bundle with an English "Root" table and a default ("Localizable") table.
inline NSBundle* makeSliderBundle(const TempDeviceRoot& root) {
    static int serial = 0;
    const QString device = QStringLiteral("/bundles/slider%1.bundle/").arg(++serial);
    root.writeFile(device + "Info.plist",
                   PropertyList::toXml(QVariantMap{{"CFBundleDevelopmentRegion", "en"}}));
    root.writeFile(device + "en.lproj/Root.strings", "\"Volume\" = \"Loudness\";\n");
    root.writeFile(device + "en.lproj/Localizable.strings", "\"Speed\" = \"Pace\";\n");
    return NSBundle::bundleWithPath(root.hostPath(device));
}

// A slider row's cell as the host shows it: inside the pane's view, which sits in the key
// window's root view; or, for the fallback, in no view controller at all.
struct SliderRowScreen {
    TempDeviceRoot root;
    UIWindow window;
    UIViewController* rootController = new UIViewController(&window);
    UIViewController* pane = new UIViewController(&window);
    SliderRowController controller;
    std::unique_ptr<PSSpecifier> specifier;
    QEVSliderCell* cell = nullptr;

    explicit SliderRowScreen(const QVariantMap& properties, const QVariant& stored = {},
                             bool inPane = true) {
        controller.setBundle(makeSliderBundle(root));
        QVariantMap all{{"cell", "PSSliderCell"},
                        {"cellClass", "QEVSliderCell"},
                        {"key", "v"},
                        {"label", "Volume"},
                        {"localizationTable", "Root"},
                        {"min", 0.0},
                        {"max", 10.0}};
        all.insert(properties);
        if (stored.isValid())
            controller.stored.insert(all.value("key").toString(), stored);
        specifier = std::make_unique<PSSpecifier>(all, &controller);
        window.setRootViewController(rootController);
        window.resize(390, 844);
        pane->view()->setParent(rootController->view());
        pane->view()->setGeometry(0, 0, 390, 844);
        cell =
            new QEVSliderCell(0, "QEVSliderCell", specifier.get(), inPane ? pane->view() : nullptr);
        specifier->setProperty(QVariant::fromValue<QObject*>(cell), PSTableCellKey);
        cell->refreshCellContentsWithSpecifier(specifier.get());
        cell->setGeometry(16, 100, 358, 50);
        window.makeKeyAndVisible();
        if (!inPane)
            cell->show();
        QCoreApplication::processEvents();
    }
    ~SliderRowScreen() {
        if (cell && !cell->parentWidget())
            delete cell;
    }

    UISlider* slider() const { return cell->control(); }
    QString readout() const { return cell->valueLabel()->text(); }
    UISelectionFeedbackGenerator* feedback() const { return cell->feedbackGenerator(); }
    float lastStored() const {
        return controller.writes.isEmpty() ? NAN : float(controller.writes.last().toDouble());
    }

    // Taps the read-out; gives the typed entry shown by `presenter`, if any.
    UIAlertController* openEntry(UIViewController* presenter) {
        QTest::mouseClick(cell->valueLabel(), Qt::LeftButton);
        return qobject_cast<UIAlertController*>(presenter->presentedViewController());
    }
};

inline UIAlertAction* actionTitled(UIAlertController* alert, const QString& title) {
    for (UIAlertAction* action : alert->actions()) {
        if (action->title() == title)
            return action;
    }
    return nullptr;
}

// A long press whose state a test sets directly, to drive the cell's handlers.
class ScriptedLongPress : public UILongPressGestureRecognizer {
public:
    ScriptedLongPress() : UILongPressGestureRecognizer({}) {}
    void set(UIGestureRecognizerState state) { setState(state); }
};

inline UILongPressGestureRecognizer* longPressOf(QPushButton* button) {
    return button->findChild<UILongPressGestureRecognizer*>();
}
