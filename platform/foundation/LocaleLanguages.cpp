#include "LocaleLanguages.h"

#include <QHash>
#include <algorithm>

namespace {

// "de_DE.UTF-8@euro" -> "de_DE". Asked for every translated text, so no expression is built.
QString stripLocale(QString name) {
    const auto cut =
        std::find_if(name.cbegin(), name.cend(), [](QChar c) { return c == u'.' || c == u'@'; });
    name.truncate(cut - name.cbegin());
    return name.trimmed();
}

bool namesLanguage(const QString& name) {
    return !name.isEmpty() && name != QLatin1String("C") && name != QLatin1String("POSIX");
}

QString normalised(QString name) {
    return name.replace(u'_', u'-').toLower();
}

// The script a region implies for languages written in more than one.
QString scriptVariant(const QString& language, const QString& region) {
    if (language != QLatin1String("zh"))
        return {};
    static const QStringList traditional = {QStringLiteral("tw"), QStringLiteral("hk"),
                                            QStringLiteral("mo"), QStringLiteral("hant")};
    return traditional.contains(region) ? QStringLiteral("zh-hant") : QStringLiteral("zh-hans");
}

// Normalised names to try for one language, best first.
QStringList candidates(const QString& language) {
    const QString name = normalised(language);
    const QStringList parts = name.split(u'-', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    QStringList result{name};
    if (parts.size() > 1) {
        const QString script = scriptVariant(parts[0], parts.last());
        if (!script.isEmpty())
            result << script;
        result << parts[0];
    }
    return result;
}

} // namespace

QStringList LocaleLanguages::preferredLanguages() {
    QStringList result;
    for (const QString& entry : qEnvironmentVariable("LANGUAGE").split(u':', Qt::SkipEmptyParts))
        result << stripLocale(entry);
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (value.isEmpty())
            continue;
        result << stripLocale(value);
        break;
    }
    result.removeIf([](const QString& name) { return !namesLanguage(name); });
    result.removeDuplicates();
    return result;
}

QStringList LocaleLanguages::matchLocalizations(const QStringList& preferred,
                                                const QStringList& available,
                                                const QString& developmentRegion) {
    QHash<QString, QString> byName; // normalised -> folder name as on disk
    for (const QString& folder : available)
        byName.insert(normalised(folder), folder);
    QStringList wanted;
    for (const QString& language : preferred)
        wanted << candidates(language);
    wanted << candidates(developmentRegion) << QStringLiteral("en") << QStringLiteral("base");
    QStringList result;
    for (const QString& name : wanted) {
        const QString folder = byName.value(name);
        if (!folder.isEmpty() && !result.contains(folder))
            result << folder;
    }
    return result;
}
