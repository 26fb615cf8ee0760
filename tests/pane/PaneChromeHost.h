#pragma once

#include "PaneFixture.h"

#include "preferences/UITableView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationItem.h"

#include <QAbstractButton>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <memory>

inline const QString kBundleDevicePath =
    QStringLiteral("/var/jb/Library/PreferenceBundles/tolvplayerprefs.bundle/");

// The shipped images, copied into the test's device root where the pane reads them.
inline void installBundleImages(const TempDeviceRoot& root) {
    for (const char* name : {"CHECKMARK.png", "icon.png", "banner.png"}) {
        QFile source(QStringLiteral(QEV_SOURCE_DIR "/resources/bundle/") + name);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << name;
        ASSERT_TRUE(root.writeFile(kBundleDevicePath + name, source.readAll()));
    }
}

inline QVariantList manyRows(int count) {
    QVariantList rows{groupRow("G")};
    for (int i = 0; i < count; ++i)
        rows.append(switchRow(QStringLiteral("k%1").arg(i)));
    return rows;
}

// The pane as the Settings application shows it: in a navigation controller of its own,
// pushed on the Settings navigation controller of a key window 390 wide (a compact width).
struct ChromeHost {
    TempDeviceRoot root;
    UIWindow window;
    std::unique_ptr<UINavigationController> settings;
    TOLVPLAYERPreferencesListController* pane = nullptr;
    UINavigationController* inner = nullptr;

    explicit ChromeHost(bool withImages = true, int rows = 30,
                        TOLVPLAYERPreferencesListController* made = nullptr) {
        if (withImages)
            installBundleImages(root);
        settings = std::make_unique<UINavigationController>(new UIViewController);
        pane = made ? made : new TOLVPLAYERPreferencesListController;
        pane->setBundle(makeRowListBundle(root, manyRows(rows)));
        showInKeyWindow(window, pane, settings.get());
        inner = pane->navigationController();
    }
    ~ChromeHost() { settings.reset(); }

    UINavigationBar* bar() { return settings->navigationBar(); }
    UITableView* table() { return pane->table(); }
    QAbstractButton* restartButton() {
        UIBarButtonItem* item = pane->navigationItem()->rightBarButtonItems().value(0);
        return item ? qobject_cast<QAbstractButton*>(item->customView()) : nullptr;
    }
};

// What the widget itself draws, on transparency (a grab would add the window's background).
inline QImage renderAlone(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline qreal alphaOf(QWidget* view) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(view->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

// Runs the title fades to their end at once.
inline void finishFades(TOLVPLAYERPreferencesListController* pane) {
    for (QPropertyAnimation* fade : pane->findChildren<QPropertyAnimation*>()) {
        if (fade->state() == QAbstractAnimation::Running)
            fade->setCurrentTime(fade->duration());
    }
}
