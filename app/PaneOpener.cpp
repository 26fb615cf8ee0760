#include "PaneOpener.h"

#include "preferences/PSBundleLoader.h"
#include "preferences/PSListController.h"
#include "uikit/UINavigationController.h"

#include <QFileInfo>

PSListController* PaneOpener::open(const SettingsEntry& entry, UINavigationController* outer,
                                   bool animated, QString* error) {
    const QString bundlePath = entry.bundleHostPath();
    if (!QFileInfo(bundlePath).isDir()) {
        *error = QStringLiteral("no bundle at %1").arg(bundlePath);
        return nullptr;
    }
    PSListController* pane = PSBundleLoader::instantiatePrincipalController(bundlePath);
    if (!pane) {
        *error = QStringLiteral("the bundle %1 could not be opened: %2")
                     .arg(bundlePath, PSBundleLoader::lastError());
        return nullptr;
    }
    if (pane->title().isEmpty())
        pane->setTitle(entry.name);
    // The pane gets a navigation controller of its own, as on the device; the outer one keeps
    // the visible bar.
    auto* inner = new UINavigationController(pane);
    outer->pushViewController(inner, animated);
    return pane;
}
