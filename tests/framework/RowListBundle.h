#pragma once

#include "common/TempDeviceRoot.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"

#include <QVariantList>
#include <QVariantMap>

// Rows for test lists, in the row-list format the host reads.
inline QVariantMap groupRow(const QString& label) {
    return {{"cell", "PSGroupCell"}, {"label", label}};
}
inline QVariantMap switchRow(const QString& key, const QVariantMap& extra = {}) {
    QVariantMap row{{"cell", "PSSwitchCell"}, {"label", key}, {"key", key}};
    row.insert(extra);
    return row;
}
inline QVariantMap controlRow(const QString& key, const QVariant& count,
                              const QVariantMap& extra = {}) {
    QVariantMap row = switchRow(key, extra);
    row.insert("nestedEntryCount", count);
    return row;
}

// A bundle directory inside the test's device root holding the row list "Root". Each bundle
// gets a path of its own, since bundles are cached per path for the whole process.
inline NSBundle* makeRowListBundle(const TempDeviceRoot& root, const QVariantList& items) {
    static int serial = 0;
    const QString device = QStringLiteral("/bundles/list%1.bundle/").arg(++serial);
    root.writeFile(device + "Info.plist", PropertyList::toXml(QVariantMap{{"CFBundleName", "t"}}));
    root.writeFile(device + "Root.plist", PropertyList::toXml(QVariantMap{{"items", items}}));
    return NSBundle::bundleWithPath(root.hostPath(device));
}
