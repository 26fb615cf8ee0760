#pragma once

#include <QHash>
#include <QString>

class NSBundle;

// Translates the texts of one row list through its bundle's strings tables, reading each table
// once. The list's rows keep it and translate their label and footer when first asked for
// them, so a long list translates only the rows that are shown.
class PSListTranslator {
public:
    PSListTranslator(NSBundle* bundle, QString listTable);

    // `text` looked up in the row's own table, or in the list's when the row names none.
    QString translate(const QString& text, const QString& rowTable);

private:
    NSBundle* _bundle;
    QString _listTable;
    QHash<QString, QHash<QString, QString>> _tables;
};
