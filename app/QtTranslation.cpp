#include "QtTranslation.h"

#include "foundation/LocaleLanguages.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// Qt's widgets, the colour dialog among them, take their texts from this catalogue.
const QString kCatalogue = QStringLiteral("qtbase_");
const QString kSuffix = QStringLiteral(".qm");
} // namespace

QTranslator* QtTranslation::install(QObject* owner, const QStringList& preferred,
                                    const QString& directory) {
    QStringList available; // "zh_CN" for qtbase_zh_CN.qm
    for (const QString& file : QDir(directory).entryList({kCatalogue + '*' + kSuffix}))
        available << file.mid(kCatalogue.size(), file.size() - kCatalogue.size() - kSuffix.size());
    for (const QString& name : LocaleLanguages::matchLocalizations(preferred, available, {})) {
        auto* translator = new QTranslator(owner);
        if (translator->load(kCatalogue + name, directory) &&
            QCoreApplication::installTranslator(translator))
            return translator;
        delete translator; // unreadable: the next best
    }
    return nullptr;
}

QTranslator* QtTranslation::install(QObject* owner) {
    return install(owner, LocaleLanguages::preferredLanguages(),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
