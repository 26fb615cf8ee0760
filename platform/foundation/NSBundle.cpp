#include "NSBundle.h"

#include "LocaleLanguages.h"
#include "PropertyList.h"
#include "StringsTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString lprojSuffix = QStringLiteral(".lproj");

QStringList lprojFolders(const QString& path) {
    QStringList names;
    const QStringList entries =
        QDir(path).entryList({QLatin1Char('*') + lprojSuffix}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        names << entry.chopped(lprojSuffix.size());
    return names;
}

QString fileName(const QString& name, const QString& type) {
    QString extension = type;
    if (extension.startsWith(u'.'))
        extension.remove(0, 1);
    return extension.isEmpty() ? name : name + u'.' + extension;
}

QString existingFile(const QString& path) {
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

NSBundle::NSBundle(const QString& path)
    : _path(path), _info(PropertyList::readDictionary(path + QStringLiteral("/Info.plist"))
                             .value_or(QVariantMap{})),
      _localizations(lprojFolders(path)) {}

NSBundle* NSBundle::bundleWithPath(const QString& hostPath) {
    const QFileInfo info(hostPath);
    if (hostPath.isEmpty() || !info.isDir())
        return nullptr;
    const QString path = QDir::cleanPath(info.absoluteFilePath());
    static QMutex mutex;
    // Never destroyed, like the bundles it holds: callers keep the pointers until the process
    // ends, and a map torn down at exit would leave them unreachable (a leak to LeakSanitizer).
    static auto* const bundles = new QHash<QString, NSBundle*>;
    QMutexLocker lock(&mutex);
    NSBundle*& bundle = (*bundles)[path];
    if (!bundle)
        bundle = new NSBundle(path);
    return bundle;
}

NSBundle* NSBundle::mainBundle() {
    return bundleWithPath(QCoreApplication::applicationDirPath());
}

QString NSBundle::bundlePath() const {
    return _path;
}

QVariant NSBundle::objectForInfoDictionaryKey(const QString& key) const {
    return _info.value(key);
}

QStringList NSBundle::localizationSearchOrder() const {
    return LocaleLanguages::matchLocalizations(
        LocaleLanguages::preferredLanguages(), _localizations,
        _info.value(QStringLiteral("CFBundleDevelopmentRegion")).toString());
}

QString NSBundle::pathForResource(const QString& name, const QString& type) const {
    if (name.isEmpty())
        return {};
    const QString file = fileName(name, type);
    for (const QString& localization : localizationSearchOrder()) {
        const QString found = existingFile(_path + u'/' + localization + lprojSuffix + u'/' + file);
        if (!found.isNull())
            return found;
    }
    return existingFile(_path + u'/' + file);
}

QString NSBundle::localizedStringForKey(const QString& key, const QString& value,
                                        const QString& table) const {
    if (key.isNull())
        return QStringLiteral("");
    return translate(localizedStringTable(table), key, value);
}

QHash<QString, QString> NSBundle::localizedStringTable(const QString& table) const {
    const QString path = stringsTablePath(table.isEmpty() ? QStringLiteral("Localizable") : table);
    return path.isNull() ? QHash<QString, QString>() : tableAt(path);
}

QString NSBundle::translate(const QHash<QString, QString>& strings, const QString& key,
                            const QString& value) {
    if (key.isNull())
        return QStringLiteral("");
    const auto it = strings.constFind(key);
    if (it != strings.constEnd())
        return it->isNull() ? QStringLiteral("") : *it; // an empty translation is still one
    return value.isEmpty() ? key : value;
}

QString NSBundle::stringsTablePath(const QString& tableName) const {
    // A row list asks this for every row: where a table lies is found once per table and
    // choice of languages (the languages are read anew each time; they may change).
    const QString key = LocaleLanguages::preferredLanguages().join(u'\n') + u'\t' + tableName;
    {
        QMutexLocker lock(&_mutex);
        const auto it = _tablePaths.constFind(key);
        if (it != _tablePaths.constEnd())
            return *it;
    }
    const QString path = pathForResource(tableName, QStringLiteral("strings"));
    QMutexLocker lock(&_mutex);
    _tablePaths.insert(key, path);
    return path;
}

QHash<QString, QString> NSBundle::tableAt(const QString& path) const {
    QMutexLocker lock(&_mutex);
    auto it = _tables.constFind(path);
    if (it != _tables.constEnd())
        return *it;
    QHash<QString, QString> strings;
    if (const std::optional<QByteArray> bytes = PropertyList::readBytes(path))
        strings = StringsTable::parse(*bytes);
    return *_tables.insert(path, strings);
}
