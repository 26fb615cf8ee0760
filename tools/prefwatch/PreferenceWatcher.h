#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

// Stands for the add-on: keeps the last contents of a preference file and, on each refresh,
// rereads the file and describes every key that changed, one line per key.
class PreferenceWatcher {
public:
    explicit PreferenceWatcher(QString hostPath);

    // Rereads the file; returns "key: old -> new" for each changed key, in key order. A file
    // that is missing or not a dictionary reads as empty.
    QStringList refresh();

    const QVariantMap& contents() const { return _contents; }

    // A compact, one-line rendering of a property-list value.
    static QString describe(const QVariant& value);

private:
    QString _path;
    QVariantMap _contents;
};
