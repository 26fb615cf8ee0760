#include "XmlPropertyList.h"

#include "PlistValue.h"
#include "XmlPlistScanner.h"

#include <QtEndian>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

constexpr quint8 kEntities = 1; // the text holds named entities, to be decoded
constexpr quint8 kNonAscii = 2; // the text holds UTF-8 beyond ASCII

bool isBlank(char c) {
    constexpr quint64 blanks = (1ULL << ' ') | (1ULL << '\t') | (1ULL << '\n') | (1ULL << '\r');
    const auto u = static_cast<unsigned char>(c);
    return u <= ' ' && ((blanks >> u) & 1);
}

struct NamedEntity {
    const char* text;
    qsizetype length;
    char character;
};
constexpr NamedEntity kNamedEntities[] = {
    {"&amp;", 5, '&'}, {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&apos;", 6, '\''}, {"&quot;", 6, '"'},
};

// The named entity that starts at `p`, or none.
const NamedEntity* entityAt(const char* p, const char* end) {
    for (const NamedEntity& entity : kNamedEntities) {
        if (end - p >= entity.length && std::memcmp(p, entity.text, size_t(entity.length)) == 0)
            return &entity;
    }
    return nullptr;
}

locale_t cNumericLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

// An integer text that XmlPlistScanner::isInteger accepts, as libplist reads it: negative
// values and those up to INT64_MAX are signed, larger ones unsigned.
QVariant integerValue(QByteArrayView text) {
    text = XmlPlistScanner::trimmed(text);
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+')
        text = text.sliced(1);
    quint64 base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text = text.sliced(2);
    }
    quint64 magnitude = 0;
    for (char c : text) {
        const quint64 digit = c <= '9' ? quint64(c - '0') : quint64((c | 0x20) - 'a' + 10);
        magnitude = magnitude * base + digit;
    }
    if (negative)
        return QVariant(qint64(quint64(0) - magnitude));
    if (magnitude <= quint64(INT64_MAX))
        return QVariant(qint64(magnitude));
    return QVariant(magnitude);
}

// A real text that XmlPlistScanner::isReal accepts, read as libplist reads it: strtod in the
// C locale.
QVariant realValue(QByteArrayView text) {
    const QByteArray terminated = XmlPlistScanner::trimmed(text).toByteArray();
    return QVariant(strtod_l(terminated.constData(), nullptr, cNumericLocale()));
}

} // namespace

// One pass over the bytes: checks that they are a list this reader takes and records an entry
// per key and value. No recursion: open containers are kept on a stack.
class XmlPropertyListScanner {
public:
    using Entry = XmlPropertyList::Entry;
    using Type = XmlPropertyList::Type;

    XmlPropertyListScanner(const QByteArray& bytes, std::vector<Entry>& entries)
        : _p(bytes.constData()), _end(bytes.constData() + bytes.size()), _base(_p),
          _entries(entries) {}

    bool run() {
        if (!skipProlog() || !openPlist())
            return false;
        if (!skipMisc() || !readValue())
            return false;
        while (!_open.empty()) {
            if (!skipMisc() || !readInContainer())
                return false;
        }
        return skipMisc() && closeTag("plist") && skipMisc() && _p == _end;
    }

private:
    enum class Tag { None, Dictionary, Array, Key, String, Integer, Real, True, False };

    template <qsizetype N> bool at(const char (&literal)[N]) const {
        return _end - _p >= N - 1 && std::memcmp(_p, literal, N - 1) == 0;
    }
    void skipBlanks() {
        while (_p < _end && isBlank(*_p))
            ++_p;
    }
    // Past the next `terminator`; false when there is none.
    bool skipPast(const char* terminator, qsizetype length) {
        const void* found = memmem(_p, size_t(_end - _p), terminator, size_t(length));
        if (!found)
            return false;
        _p = static_cast<const char*>(found) + length;
        return true;
    }
    // Blanks and comments, as libplist skips them between elements.
    bool skipMisc() {
        for (;;) {
            skipBlanks();
            if (!at("<!--"))
                return true;
            _p += 4;
            if (!skipPast("-->", 3))
                return false;
        }
    }
    // Markup up to its `terminator`. libplist steps over double-quoted runs looking for it and
    // PlistGuard does not, so both end it at the same place only when the quotes before it pair
    // up; single quotes (which PlistGuard also steps over) and `refused` characters are not
    // taken at all.
    bool skipMarkup(const char* terminator, qsizetype length, const char* refused) {
        const void* found = memmem(_p, size_t(_end - _p), terminator, size_t(length));
        if (!found)
            return false;
        const char* stop = static_cast<const char*>(found);
        bool quoted = false;
        for (const char* c = _p; c < stop; ++c) {
            quoted ^= *c == '"';
            if (*c == '\'' || std::strchr(refused, *c))
                return false;
        }
        _p = stop + length;
        return !quoted;
    }
    bool skipProlog() {
        for (;;) {
            if (!skipMisc())
                return false;
            if (at("<?>"))
                return false; // libplist ends it at once, PlistGuard at the next "?>"
            if (at("<?")) {
                _p += 2;
                if (!skipMarkup("?>", 2, "<"))
                    return false;
            } else if (at("<!DOCTYPE")) {
                _p += 9;
                if (!skipMarkup(">", 1, "<[")) // '[' opens an internal subset
                    return false;
            } else {
                return true;
            }
        }
    }
    bool openPlist() {
        if (!at("<plist"))
            return false;
        _p += 6;
        if (_p >= _end || (*_p != '>' && !isBlank(*_p)))
            return false;
        // Attributes are passed over, as libplist does.
        if (!skipMarkup(">", 1, "<"))
            return false;
        return _p[-2] != '/'; // <plist/> holds nothing
    }
    // "</name" blanks ">", as libplist reads an end tag.
    // Whether the bytes at `p` are `literal`; the caller has checked there are that many.
    template <qsizetype N> static bool equals(const char* p, const char (&literal)[N]) {
        for (qsizetype i = 0; i < N - 1; ++i) {
            if (p[i] != literal[i])
                return false;
        }
        return true;
    }
    template <qsizetype N> bool closeTag(const char (&name)[N]) {
        if (_end - _p < N + 2 || _p[0] != '<' || _p[1] != '/' || !equals(_p + 2, name))
            return false;
        _p += N + 1;
        skipBlanks();
        if (_p >= _end || *_p != '>')
            return false;
        ++_p;
        return true;
    }
    // `<name>` or `<name/>` at _p, `name` one of the elements taken, and whether it closes
    // itself.
    template <qsizetype N> bool startTag(const char (&name)[N], bool* empty) {
        if (_end - _p < N + 2 || _p[0] != '<' || !equals(_p + 1, name))
            return false;
        const char* q = _p + N;
        *empty = *q == '/';
        q += *empty;
        if (*q != '>')
            return false;
        _p = q + 1;
        return true;
    }
    Tag startTag(bool* empty) {
        if (_end - _p < 3 || *_p != '<')
            return Tag::None;
        switch (_p[1]) {
        case 'd':
            return startTag("dict", empty) ? Tag::Dictionary : Tag::None;
        case 'a':
            return startTag("array", empty) ? Tag::Array : Tag::None;
        case 's':
            return startTag("string", empty) ? Tag::String : Tag::None;
        case 'i':
            return startTag("integer", empty) ? Tag::Integer : Tag::None;
        case 'r':
            return startTag("real", empty) ? Tag::Real : Tag::None;
        case 't':
            return startTag("true", empty) ? Tag::True : Tag::None;
        case 'f':
            return startTag("false", empty) ? Tag::False : Tag::None;
        default:
            return Tag::None; // date, data, a key out of place, or no property-list element
        }
    }
    // The text up to the next '<', checked: entities are the five named ones, bytes beyond
    // ASCII are UTF-8. Eight plain bytes at a time, then byte by byte from the first that is
    // not plain.
    bool readText(Entry& entry) {
        const char* c = _p;
        for (quint64 word; _end - c >= 8 && isPlain(word = qFromUnaligned<quint64>(c)); c += 8) {
        }
        unsigned char high = 0;
        for (; c < _end && *c != '<'; ++c) {
            high |= static_cast<unsigned char>(*c);
            if (*c != '&')
                continue;
            const NamedEntity* entity = entityAt(c, _end);
            if (!entity)
                return false;
            entry.flags |= kEntities;
            c += entity->length - 1;
        }
        if (c >= _end)
            return false;
        entry.begin = quint32(_p - _base);
        entry.end = quint32(c - _base);
        if (high & 0x80) {
            entry.flags |= kNonAscii;
            if (!QByteArrayView(_p, c - _p).isValidUtf8())
                return false;
        }
        _p = c;
        return true;
    }
    // Whether none of the eight bytes is '<', '&' or beyond ASCII (each test finds a byte of
    // the word equal to zero without looking at the bytes one by one).
    static bool isPlain(quint64 word) {
        constexpr quint64 ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
        const auto hasZero = [](quint64 w) { return (w - ones) & ~w & highs; };
        return !(hasZero(word ^ (ones * '<')) | hasZero(word ^ (ones * '&')) | (word & highs));
    }
    // One value at _p; a container is opened and filled by later readInContainer calls.
    bool readValue() {
        if (qsizetype(_open.size()) > PlistValue::maxDepth)
            return false;
        bool empty = false;
        const Tag tag = startTag(&empty);
        Entry entry;
        const quint32 index = quint32(_entries.size());
        switch (tag) {
        case Tag::Dictionary:
        case Tag::Array:
            entry.type = tag == Tag::Dictionary ? Type::Dictionary : Type::Array;
            entry.next = index + 1;
            _entries.push_back(entry);
            if (!empty)
                _open.push_back(index);
            return true;
        case Tag::True:
        case Tag::False:
            entry.type = tag == Tag::True ? Type::True : Type::False;
            if (!empty && !(tag == Tag::True ? closeTag("true") : closeTag("false")))
                return false;
            break;
        case Tag::String:
            entry.type = Type::String;
            entry.begin = entry.end = quint32(_p - _base);
            if (!empty && !(readText(entry) && closeTag("string")))
                return false;
            break;
        case Tag::Integer:
        case Tag::Real: {
            entry.type = tag == Tag::Integer ? Type::Integer : Type::Real;
            if (empty || !readText(entry))
                return false;
            const QByteArrayView text(_base + entry.begin, qsizetype(entry.end - entry.begin));
            const bool valid = tag == Tag::Integer
                                   ? XmlPlistScanner::isInteger(text) && closeTag("integer")
                                   : XmlPlistScanner::isReal(text) && closeTag("real");
            if (!valid)
                return false;
            break;
        }
        default:
            return false;
        }
        entry.next = index + 1;
        _entries.push_back(entry);
        return true;
    }
    // The next item of the innermost open container, or its end.
    bool readInContainer() {
        const quint32 container = _open.back();
        const bool dictionary = _entries[container].type == Type::Dictionary;
        if (dictionary ? closeTag("dict") : closeTag("array")) {
            _entries[container].next = quint32(_entries.size());
            _open.pop_back();
            return true;
        }
        if (dictionary) {
            bool empty = false;
            if (!startTag("key", &empty) || empty)
                return false;
            Entry key;
            key.type = Type::Key;
            if (!readText(key) || !closeTag("key") || !skipMisc())
                return false;
            key.next = quint32(_entries.size()) + 1;
            _entries.push_back(key);
        }
        return readValue();
    }

    const char* _p;
    const char* const _end;
    const char* const _base;
    std::vector<Entry>& _entries;
    std::vector<quint32> _open;
};

std::shared_ptr<const XmlPropertyList> XmlPropertyList::read(const QByteArray& bytes) {
    if (bytes.contains('\0'))
        return nullptr;
    auto list = std::make_shared<XmlPropertyList>();
    list->_bytes = bytes;
    // A row list holds about one value per 24 bytes. Pages reserved beyond what is written are
    // never touched.
    list->_entries.reserve(size_t(bytes.size() / 20 + 4));
    if (!XmlPropertyListScanner(list->_bytes, list->_entries).run() || list->_entries.empty())
        return nullptr;
    return list;
}

QString XmlPropertyList::text(const Entry& entry) const {
    const char* begin = _bytes.constData() + entry.begin;
    const qsizetype length = qsizetype(entry.end - entry.begin);
    if (!entry.flags)
        return QString::fromLatin1(begin, length);
    QByteArray decoded;
    if (entry.flags & kEntities) {
        decoded.reserve(length);
        for (const char* c = begin; c < begin + length; ++c) {
            const NamedEntity* entity = *c == '&' ? entityAt(c, begin + length) : nullptr;
            decoded.append(entity ? entity->character : *c);
            if (entity)
                c += entity->length - 1;
        }
    } else {
        decoded = QByteArray::fromRawData(begin, length);
    }
    // Checked while scanning; decoding the entities keeps the UTF-8 valid.
    return PlistValue::textFromUtf8(decoded).value_or(QString());
}

bool XmlPropertyList::keyIs(const Entry& key, QStringView name) const {
    if (!key.flags) {
        const QLatin1StringView text(_bytes.constData() + key.begin,
                                     qsizetype(key.end - key.begin));
        return text.size() == name.size() && text == name;
    }
    return text(key) == name;
}

QVariant XmlPropertyList::value(int index) const {
    const Entry& entry = _entries[size_t(index)];
    const QByteArrayView raw(_bytes.constData() + entry.begin, qsizetype(entry.end - entry.begin));
    switch (entry.type) {
    case Type::Dictionary: {
        QVariantMap map;
        for (quint32 key = quint32(index) + 1; key < entry.next; key = _entries[key + 1].next)
            map.insert(text(_entries[key]), value(int(key) + 1)); // a repeated key: the last wins
        return map;
    }
    case Type::Array: {
        QVariantList list;
        for (int item = firstChild(index); item >= 0; item = nextChild(index, item))
            list.append(value(item));
        return list;
    }
    case Type::Key:
    case Type::String:
        return text(entry);
    case Type::Integer:
        return integerValue(raw);
    case Type::Real:
        return realValue(raw);
    case Type::True:
        return true;
    case Type::False:
        return false;
    }
    return {};
}

int XmlPropertyList::valueForKey(int dictionary, QStringView key) const {
    const Entry& entry = _entries[size_t(dictionary)];
    if (entry.type != Type::Dictionary)
        return -1;
    int found = -1;
    for (quint32 k = quint32(dictionary) + 1; k < entry.next; k = _entries[k + 1].next) {
        if (keyIs(_entries[k], key))
            found = int(k) + 1;
    }
    return found;
}

int XmlPropertyList::firstChild(int container) const {
    const Entry& entry = _entries[size_t(container)];
    if (entry.next == quint32(container) + 1)
        return -1;
    // A dictionary's first entry is a key; its value follows.
    return entry.type == Type::Dictionary ? container + 2 : container + 1;
}

int XmlPropertyList::nextChild(int container, int child) const {
    const quint32 next = _entries[size_t(child)].next;
    if (next >= _entries[size_t(container)].next)
        return -1;
    return _entries[next].type == Type::Key ? int(next) + 1 : int(next);
}

std::optional<QLatin1StringView> XmlPropertyList::asciiText(int value) const {
    const Entry& entry = _entries[size_t(value)];
    if (entry.type != Type::String || entry.flags)
        return std::nullopt;
    return QLatin1StringView(_bytes.constData() + entry.begin, qsizetype(entry.end - entry.begin));
}
