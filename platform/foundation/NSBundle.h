#pragma once

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// A directory of resources: Info.plist at its top, shared resources beside it and localized
// ones in "<language>.lproj" folders. Bundles are cached per path for the process, never freed,
// and read as they were when first used: strings tables and where they lie are looked up once.
class NSBundle {
public:
    static NSBundle* bundleWithPath(const QString& hostPath); // nullptr if no such directory
    static NSBundle* mainBundle();                            // the application's own

    QString bundlePath() const;
    QVariant objectForInfoDictionaryKey(const QString& key) const;
    // The path of "<name>.<type>" (type may be empty), from the user's best localization
    // first, then the bundle's top; a null string if there is none.
    QString pathForResource(const QString& name, const QString& type) const;
    // The translation of `key` in `table` ("Localizable" if null or empty) of the best
    // localization holding that table; else `value` if not empty; else `key`; "" for a null key.
    QString localizedStringForKey(const QString& key, const QString& value,
                                  const QString& table) const;
    // The strings of `table` as localizedStringForKey would choose them, for a caller that
    // translates many texts of one table at once; translate() then answers as it would.
    QHash<QString, QString> localizedStringTable(const QString& table) const;
    static QString translate(const QHash<QString, QString>& strings, const QString& key,
                             const QString& value);

    // The ".lproj" folders to search, best first, for the process's current languages.
    QStringList localizationSearchOrder() const;

private:
    explicit NSBundle(const QString& path);
    QString stringsTablePath(const QString& tableName) const;
    QHash<QString, QString> tableAt(const QString& path) const;

    const QString _path;
    const QVariantMap _info;
    const QStringList _localizations;
    mutable QMutex _mutex;
    mutable QHash<QString, QHash<QString, QString>> _tables; // by table file path
    mutable QHash<QString, QString> _tablePaths;             // by languages and table name
};
