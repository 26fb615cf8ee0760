#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

class NSBundle;
class PSListController;
class PSSpecifier;

// Turns a row list (a dictionary with "title" and "items") into specifiers. Every item that is
// a dictionary becomes one specifier holding all of the item's keys; anything else is skipped.
// A list that cannot be read or has no "items" list gives no specifiers.
class PSSpecifierListLoader {
public:
    struct Result {
        QList<PSSpecifier*> specifiers;
        QString title; // translated; null when the list has none
    };

    // `owner` becomes the specifiers' QObject parent; `bundle` (may be null) translates labels.
    static Result loadFile(const QString& hostPath, NSBundle* bundle, PSListController* target,
                           QObject* owner);
    static Result loadDictionary(const QVariantMap& list, NSBundle* bundle,
                                 PSListController* target, QObject* owner);
};
