#pragma once

#include <QString>
#include <QStringList>

class QObject;
class QTranslator;

// Qt's own texts (the colour picker's labels, for one) in the user's language: Qt's shipped
// translation chosen from the user's languages as a bundle's strings are.
class QtTranslation {
public:
    // Installs on the application the best of `directory`'s translations for `preferred` that
    // loads, owned by `owner`; nullptr when none matches or none loads.
    static QTranslator* install(QObject* owner, const QStringList& preferred,
                                const QString& directory);
    // The same for the process's languages and the translations Qt was installed with.
    static QTranslator* install(QObject* owner);
};
