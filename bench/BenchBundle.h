#pragma once

#include "tests/common/TempDeviceRoot.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"

#include <QVariantList>

// A bundle holding only a row list "Root" with the given items, under a fresh path in the root,
// so each benchmark case gets its own bundle (bundles are cached per path for the process).
inline NSBundle* makeRowListBundle(const TempDeviceRoot& root, const QVariantList& items) {
    static int serial = 0;
    const QString device = QStringLiteral("/bench/list%1.bundle/").arg(++serial);
    root.writeFile(device + "Root.plist", PropertyList::toXml(QVariantMap{{"items", items}}));
    return NSBundle::bundleWithPath(root.hostPath(device));
}
