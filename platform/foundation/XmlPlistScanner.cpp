#include "XmlPlistScanner.h"

#include <QDate>

#include <cstring>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether the digit string `digits` (no leading zeros, base `base`) is at most `limit`.
bool fitsIn(QByteArrayView digits, int base, quint64 limit) {
    quint64 value = 0;
    for (char c : digits) {
        const quint64 digit = isDigit(c) ? quint64(c - '0') : quint64((c | 0x20) - 'a' + 10);
        if (value > (limit - digit) / quint64(base))
            return false;
        value = value * quint64(base) + digit;
    }
    return true;
}

qsizetype countDigits(QByteArrayView text, qsizetype from) {
    qsizetype i = from;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i - from;
}

int number(QByteArrayView text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

bool elementNeedsCheck(QByteArrayView name) {
    return name == "integer" || name == "real" || name == "date" || name == "data";
}

bool isBase64Char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '+' || c == '/';
}

} // namespace

QByteArrayView XmlPlistScanner::trimmed(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

XmlPlistScanner::XmlPlistScanner(const QByteArray& bytes, int maxElementDepth)
    : _bytes(bytes), _maxDepth(maxElementDepth) {}

bool XmlPlistScanner::isInteger(QByteArrayView text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text = text.sliced(2);
        while (text.size() > 1 && text.front() == '0')
            text = text.sliced(1);
    }
    if (text.isEmpty() || (base == 10 && text.size() > 1 && text.front() == '0'))
        return false; // libplist would read a leading zero as octal
    for (char c : text) {
        if (!(base == 16 ? isHexDigit(c) : isDigit(c)))
            return false;
    }
    return fitsIn(text, base, negative ? quint64(1) << 63 : ~quint64(0));
}

bool XmlPlistScanner::isReal(QByteArrayView text) {
    text = trimmed(text);
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+'))
        text = text.sliced(1);
    const QByteArray lower = text.toByteArray().toLower();
    if (lower == "nan" || lower == "inf" || lower == "infinity")
        return true;
    const qsizetype whole = countDigits(text, 0);
    qsizetype at = whole;
    qsizetype fraction = 0;
    if (at < text.size() && text[at] == '.') {
        fraction = countDigits(text, at + 1);
        at += 1 + fraction;
    }
    if (whole + fraction == 0)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '-' || text[at] == '+'))
            ++at;
        const qsizetype exponent = countDigits(text, at);
        if (exponent == 0)
            return false;
        at += exponent;
    }
    return at == text.size();
}

bool XmlPlistScanner::isDate(QByteArrayView text) {
    text = trimmed(text);
    // libplist writes years below 1000 without leading zeros ("1-01-01T00:00:00Z").
    const qsizetype year = countDigits(text, 0);
    if (year < 1 || year > 4)
        return false;
    static const char pattern[] = "-dd-ddTdd:dd:dd";
    const qsizetype fixed = year + qsizetype(sizeof(pattern) - 1);
    if (text.size() < fixed + 1 || text.back() != 'Z')
        return false;
    for (qsizetype i = year; i < fixed; ++i) {
        const char want = pattern[i - year];
        if (want == 'd' ? !isDigit(text[i]) : text[i] != want)
            return false;
    }
    const qsizetype rest = text.size() - 1 - fixed; // fraction between the seconds and 'Z'
    if (rest > 0 && (text[fixed] != '.' || rest < 2 || countDigits(text, fixed + 1) != rest - 1))
        return false;
    const int hour = number(text, year + 7, 2), minute = number(text, year + 10, 2),
              second = number(text, year + 13, 2);
    return QDate::isValid(number(text, 0, year), number(text, year + 1, 2),
                          number(text, year + 4, 2)) &&
           hour < 24 && minute < 60 && second < 60;
}

bool XmlPlistScanner::isData(QByteArrayView text) {
    qsizetype symbols = 0, padding = 0;
    for (char c : text) {
        if (isBlank(c))
            continue;
        if (c == '=')
            ++padding;
        else if (!isBase64Char(c) || padding > 0)
            return false; // padding only at the end
        ++symbols;
    }
    return symbols % 4 == 0 && padding <= 2;
}

qsizetype XmlPlistScanner::skipPast(qsizetype from, const char* terminator) const {
    const qsizetype at = _bytes.indexOf(terminator, from);
    return at < 0 ? -1 : at + qsizetype(std::strlen(terminator));
}

// Just past the '>' that closes a tag, honouring quoted attribute values; -1 if unterminated.
qsizetype XmlPlistScanner::skipTag(qsizetype from) const {
    char quote = 0;
    for (qsizetype i = from; i < _bytes.size(); ++i) {
        const char c = _bytes[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return -1;
}

// Past a comment, CDATA section or declaration (with an internal subset in brackets).
qsizetype XmlPlistScanner::skipDeclaration(qsizetype from) const {
    const QByteArrayView view(_bytes);
    if (view.sliced(from).startsWith("<!--"))
        return skipPast(from + 4, "-->");
    if (view.sliced(from).startsWith("<![CDATA["))
        return skipPast(from + 9, "]]>");
    const qsizetype close = _bytes.indexOf('>', from);
    const qsizetype bracket = _bytes.indexOf('[', from);
    if (bracket >= 0 && (close < 0 || bracket < close))
        return skipPast(bracket, "]>");
    return close < 0 ? -1 : close + 1;
}

// A start tag spanning [at, end): counts its depth and checks a scalar's text.
bool XmlPlistScanner::startElement(qsizetype at, qsizetype end) {
    const bool selfClosing = _bytes[end - 2] == '/';
    qsizetype nameEnd = at + 1;
    while (nameEnd < end && !isBlank(_bytes[nameEnd]) && _bytes[nameEnd] != '/' &&
           _bytes[nameEnd] != '>')
        ++nameEnd;
    const QByteArrayView name = QByteArrayView(_bytes).sliced(at + 1, nameEnd - at - 1);
    if (elementNeedsCheck(name)) {
        if (selfClosing)
            return name == "data"; // <data/> is empty data; the others need a value
        const qsizetype close = _bytes.indexOf('<', end);
        if (close < 0)
            return false;
        const QByteArrayView text = QByteArrayView(_bytes).sliced(end, close - end);
        const bool valid = name == "integer" ? isInteger(text)
                           : name == "real"  ? isReal(text)
                           : name == "date"  ? isDate(text)
                                             : isData(text);
        if (!valid)
            return false;
    }
    return selfClosing || ++_depth <= _maxDepth;
}

bool XmlPlistScanner::isSafe() {
    qsizetype at = _bytes.indexOf('<');
    while (at >= 0 && at < _bytes.size()) {
        const char next = at + 1 < _bytes.size() ? _bytes[at + 1] : '\0';
        qsizetype end;
        if (next == '?') {
            end = skipPast(at + 2, "?>");
        } else if (next == '!') {
            end = skipDeclaration(at);
        } else {
            end = skipTag(at + 1);
            if (end < 0)
                return false;
            if (next == '/')
                --_depth;
            else if (!startElement(at, end))
                return false;
        }
        if (end < 0)
            return false;
        at = _bytes.indexOf('<', end);
    }
    return true;
}
