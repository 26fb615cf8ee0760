#pragma once

#include "common/TempDeviceRoot.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"

#include <QMap>
#include <QVariantList>
#include <QVariantMap>

// Rows for test lists, in the row-list format the host reads.
inline QVariantMap cellRow(const QString& cell, const QString& label, const QString& key = {},
                           const QVariantMap& extra = {}) {
    QVariantMap row = extra;
    row.insert("cell", cell);
    row.insert("label", label);
    if (!key.isEmpty())
        row.insert("key", key);
    return row;
}
inline QVariantMap groupRow(const QString& label, const QVariantMap& extra = {}) {
    return cellRow("PSGroupCell", label, {}, extra);
}
inline QVariantMap switchRow(const QString& key, const QVariantMap& extra = {}) {
    return cellRow("PSSwitchCell", key, key, extra);
}
// A switch row whose value collapses the `count` rows after it while it reads "0".
inline QVariantMap controlRow(const QString& key, const QVariant& count,
                              const QVariantMap& extra = {}) {
    QVariantMap row = switchRow(key, extra);
    row.insert("nestedEntryCount", count);
    return row;
}

// A bundle directory in the test's device root holding `files` (paths inside the bundle, such as
// "Root.plist" or "en.lproj/Root.strings", to their bytes), with an Info.plist naming English
// as the development region unless `files` has one. Each bundle gets a path of its own, since
// bundles are cached per path for the whole process.
inline NSBundle* makeTestBundle(const TempDeviceRoot& root, QMap<QString, QByteArray> files) {
    static int serial = 0;
    const QString device = QStringLiteral("/bundles/test%1.bundle/").arg(++serial);
    if (!files.contains("Info.plist"))
        files.insert("Info.plist",
                     PropertyList::toXml(
                         QVariantMap{{"CFBundleName", "t"}, {"CFBundleDevelopmentRegion", "en"}}));
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        root.writeFile(device + file.key(), file.value());
    return NSBundle::bundleWithPath(root.hostPath(device));
}

// A bundle holding the row list "Root" with `items`, and `files` beside it.
inline NSBundle* makeRowListBundle(const TempDeviceRoot& root, const QVariantList& items,
                                   QMap<QString, QByteArray> files = {}) {
    files.insert("Root.plist", PropertyList::toXml(QVariantMap{{"items", items}}));
    return makeTestBundle(root, files);
}
