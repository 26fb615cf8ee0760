#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Check of an XML property list before libplist 2.2 parses it. libplist's writer and
// plist_free recurse once per nesting level, and it reads scalars leniently: "12abc" as 12,
// "abc" as 0, an out-of-range integer as a saturated or sign-flipped one, "010" as octal 8
// and an unreadable date as 1970, and bad base64 as empty or garbled data. Such a document is
// refused as a whole rather than read with silently changed values. The scan needs no
// recursion and reads each byte about once.
class XmlPlistScanner {
public:
    XmlPlistScanner(const QByteArray& bytes, int maxElementDepth);
    bool isSafe();

    // The scalar rules, exposed for tests: optional surrounding white space in each.
    static bool isInteger(QByteArrayView text); // decimal or 0x-hex, within 64 bits
    static bool isReal(QByteArrayView text);    // decimal/exponent form, nan, inf, infinity
    static bool isData(QByteArrayView text);    // base64, padded, blanks anywhere
    static bool isDate(QByteArrayView text);    // Y-MM-DDTHH:MM:SS[.fraction]Z, Y 1-4 digits
    static QByteArrayView trimmed(QByteArrayView text); // without XML white space at the ends

private:
    qsizetype skipPast(qsizetype from, const char* terminator) const;
    qsizetype skipTag(qsizetype from) const;
    qsizetype skipDeclaration(qsizetype from) const;
    bool startElement(qsizetype at, qsizetype end);

    const QByteArray& _bytes;
    const int _maxDepth;
    int _depth = 0;
};
