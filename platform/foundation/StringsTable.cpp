#include "StringsTable.h"

#include "PropertyList.h"

#include <QStringDecoder>
#include <optional>

namespace {

QStringConverter::Encoding encodingOf(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE") ||
        (bytes.size() % 2 == 0 && bytes.size() >= 2 && bytes[1] == '\0' && bytes[0] != '\0'))
        return QStringConverter::Utf16LE;
    if (bytes.startsWith("\xFE\xFF") ||
        (bytes.size() % 2 == 0 && bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] != '\0'))
        return QStringConverter::Utf16BE;
    return QStringConverter::Utf8;
}

// The table's text; none when the bytes are not valid text in their encoding (a broken or cut
// sequence, a lone surrogate, an odd last byte) or hold a NUL. Such a file is no strings
// table, and decoding it leniently would put mangled translations on screen.
std::optional<QString> decodeText(const QByteArray& bytes) {
    QStringDecoder decoder(encodingOf(bytes), QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || !text.isValidUtf16() || text.contains(QChar(0)))
        return std::nullopt;
    return text;
}

bool isUnquotedChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'+' || c == u'/' || c == u':' ||
           c == u'.' || c == u'-';
}

int hexValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// Recursive-descent reader of the text format; any error leaves `ok` false.
class TextReader {
public:
    explicit TextReader(const QString& text) : _text(text) {}

    std::optional<QHash<QString, QString>> read() {
        QHash<QString, QString> table;
        skipBlank();
        const bool braced = peek() == u'{';
        if (braced)
            ++_pos;
        while (_ok) {
            skipBlank();
            if (atEnd() || (braced && peek() == u'}'))
                break;
            readEntry(table);
        }
        if (braced && (atEnd() || peek() != u'}'))
            return std::nullopt;
        if (braced) {
            ++_pos;
            skipBlank();
        }
        if (!_ok || !atEnd())
            return std::nullopt;
        return table;
    }

private:
    bool atEnd() const { return _pos >= _text.size(); }
    QChar peek() const { return atEnd() ? QChar() : _text[_pos]; }
    QChar at(qsizetype i) const { return i < _text.size() ? _text[i] : QChar(); }

    void readEntry(QHash<QString, QString>& table) {
        QString key = readToken();
        skipBlank();
        QString value = key; // "key"; stands for "key" = "key";
        if (_ok && peek() == u'=') {
            ++_pos;
            skipBlank();
            value = readToken();
            skipBlank();
        }
        if (!_ok || peek() != u';') {
            _ok = false;
            return;
        }
        ++_pos;
        table.insert(key, value);
    }

    QString readToken() {
        if (peek() == u'"')
            return readQuoted();
        const qsizetype start = _pos;
        while (!atEnd() && isUnquotedChar(peek()))
            ++_pos;
        if (_pos == start)
            _ok = false;
        return _text.mid(start, _pos - start);
    }

    QString readQuoted() {
        QString out;
        ++_pos;
        while (!atEnd() && peek() != u'"') {
            if (peek() == u'\\')
                readEscape(out);
            else
                out.append(_text[_pos++]);
            if (!_ok)
                return {};
        }
        if (atEnd()) {
            _ok = false;
            return {};
        }
        ++_pos;
        return out;
    }

    void readEscape(QString& out) {
        ++_pos;
        if (atEnd()) {
            _ok = false;
            return;
        }
        const QChar c = _text[_pos++];
        switch (c.unicode()) {
        case u'n':
            out.append(u'\n');
            break;
        case u't':
            out.append(u'\t');
            break;
        case u'r':
            out.append(u'\r');
            break;
        case u'a':
            out.append(u'\a');
            break;
        case u'b':
            out.append(u'\b');
            break;
        case u'f':
            out.append(u'\f');
            break;
        case u'v':
            out.append(u'\v');
            break;
        case u'U':
        case u'u':
            readUnicode(out);
            break;
        default:
            if (c >= u'0' && c <= u'7')
                readOctal(c, out);
            else
                out.append(c); // \" \\ \' and any other character stand for themselves
        }
    }

    void readUnicode(QString& out) {
        char16_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(peek());
            if (digit < 0) {
                _ok = false;
                return;
            }
            code = char16_t(code * 16 + digit);
            ++_pos;
        }
        out.append(QChar(code));
    }

    void readOctal(QChar first, QString& out) {
        int code = first.unicode() - u'0';
        for (int i = 0; i < 2 && peek() >= u'0' && peek() <= u'7'; ++i)
            code = code * 8 + (_text[_pos++].unicode() - u'0');
        out.append(QChar(char16_t(code)));
    }

    void skipBlank() {
        while (_ok && !atEnd()) {
            if (peek().isSpace()) {
                ++_pos;
            } else if (peek() == u'/' && at(_pos + 1) == u'/') {
                while (!atEnd() && peek() != u'\n')
                    ++_pos;
            } else if (peek() == u'/' && at(_pos + 1) == u'*') {
                const qsizetype end = _text.indexOf(QStringLiteral("*/"), _pos + 2);
                if (end < 0)
                    _ok = false;
                _pos = end < 0 ? _text.size() : end + 2;
            } else {
                break;
            }
        }
    }

    const QString& _text;
    qsizetype _pos = 0;
    bool _ok = true;
};

bool looksLikePropertyList(const QByteArray& bytes, const QString& text) {
    if (bytes.startsWith("bplist00"))
        return true;
    const QString head = text.left(256).trimmed();
    return head.startsWith(QLatin1String("<?xml")) || head.startsWith(QLatin1String("<!DOCTYPE")) ||
           head.startsWith(QLatin1String("<plist"));
}

QHash<QString, QString> fromPropertyList(const QByteArray& bytes) {
    QHash<QString, QString> table;
    std::optional<QVariant> root = PropertyList::parse(bytes);
    if (!root || root->typeId() != QMetaType::QVariantMap)
        return table;
    const QVariantMap map = root->toMap();
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it.value().typeId() == QMetaType::QString)
            table.insert(it.key(), it.value().toString());
    }
    return table;
}

} // namespace

QHash<QString, QString> StringsTable::parse(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > PropertyList::maxFileSize)
        return {};
    if (bytes.startsWith("bplist00"))
        return fromPropertyList(bytes);
    const std::optional<QString> decoded = decodeText(bytes);
    if (!decoded)
        return {};
    const QString& text = *decoded;
    if (looksLikePropertyList(bytes, text))
        return fromPropertyList(text.toUtf8());
    return TextReader(text).read().value_or(QHash<QString, QString>{});
}
