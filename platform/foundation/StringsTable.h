#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// A bundle's strings table: the text format ("key" = "value"; with /* */ and // comments,
// backslash escapes and optional unquoted keys; UTF-8 or UTF-16 with a byte-order mark) or a
// property list whose root is a dictionary of texts.
class StringsTable {
public:
    // Key to translation. A malformed table gives no entries at all, so a half-read table
    // never mixes translations with raw keys.
    static QHash<QString, QString> parse(const QByteArray& bytes);
};
