#include "XmlPropertyList.h"

#include "PlistValue.h"
#include "XmlPlistScanner.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

constexpr quint8 kEntities = 1; // the text holds named entities, to be decoded
constexpr quint8 kNonAscii = 2; // the text holds UTF-8 beyond ASCII

// XML white space. A table costs fewer instructions in a loop than comparing four times.
constexpr auto kBlanks = [] {
    std::array<bool, 256> blanks{};
    blanks[' '] = blanks['\t'] = blanks['\n'] = blanks['\r'] = true;
    return blanks;
}();
bool isBlank(char c) {
    return kBlanks[static_cast<unsigned char>(c)];
}

#if defined(__SSE2__)
// Text is tested sixteen bytes at once, each test giving a mask with a bit per byte, the first
// byte lowest.
constexpr qsizetype kBlock = 16;

__m128i blockAt(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
__m128i equal(__m128i block, char c) {
    return _mm_cmpeq_epi8(block, _mm_set1_epi8(c));
}
// The bytes of the block at `p` that are '<', '&' or beyond ASCII (their high bit set).
quint32 notPlainBytes(const char* p) {
    const __m128i block = blockAt(p);
    return quint32(
        _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(equal(block, '<'), equal(block, '&')), block)));
}
#endif

// Past the plain text at `p` (no '<', '&' or byte beyond ASCII). It may stop short of the end
// of such text: in the last bytes before `end`, and anywhere without SSE2.
Q_ALWAYS_INLINE const char* skipPlainText(const char* p, [[maybe_unused]] const char* end) {
#if defined(__SSE2__)
    for (; end - p >= kBlock; p += kBlock) {
        if (const quint32 marked = notPlainBytes(p))
            return p + std::countr_zero(marked);
    }
#endif
    return p;
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
//
// Each step takes the position it starts at and gives the one after what it read, or nullptr
// when the bytes there are not what it takes: the position stays in a register that way, where
// a member would be stored again before every byte read (a char may alias it). The steps a
// plainly written list takes at every element are inlined into the one loop in run(); what such
// lists seldom hold (comments, entities, text beyond ASCII, numbers, the last bytes of the
// buffer) is called out of it.
class XmlPropertyListScanner {
public:
    using Entry = XmlPropertyList::Entry;
    using Type = XmlPropertyList::Type;

    XmlPropertyListScanner(const QByteArray& bytes, std::vector<Entry>& entries)
        : _end(bytes.constData() + bytes.size()), _base(bytes.constData()),
          _stop(trimmedEnd(_base, _end)), _entries(entries) {}

    bool run() {
        const char* p = skipProlog(_base);
        if (!p || !(p = openPlist(p)) || !(p = skipMisc(p)) || !(p = readRoot(p)))
            return false;
        while (!_open.empty()) {
            if (!(p = skipMisc(p)) || !(p = readInContainer(p)))
                return false;
        }
        return (p = skipMisc(p)) && (p = closeTag(p, "</plist")) && (p = skipMisc(p)) && p == _end;
    }

private:
    struct Text {
        const char* end; // the '<' after it, or nullptr when it is not taken
        quint8 flags = 0;
    };
    struct OpenContainer {
        quint32 index;
        bool dictionary;
    };

    // Whether the bytes at `p` are `literal`. The length is known here, so the compare becomes
    // a few word loads.
    template <qsizetype N> bool at(const char* p, const char (&literal)[N]) const {
        return _end - p >= N - 1 && std::memcmp(p, literal, N - 1) == 0;
    }
    // Past the white space at `p`. Byte by byte: the runs between elements are short, and a loop
    // whose branches the processor predicts lets it run on ahead, where finding the end with a
    // vector compare would make every later step wait for that result. Short of _stop there is
    // a byte that ends the run, so no byte needs a bounds check.
    Q_ALWAYS_INLINE const char* skipBlanks(const char* p) const {
        if (p >= _stop)
            return _end;
        while (isBlank(*p))
            ++p;
        return p;
    }
    // Past the last byte before `end` that is not white space.
    static const char* trimmedEnd(const char* begin, const char* end) {
        while (end > begin && isBlank(end[-1]))
            --end;
        return end;
    }
    // Blanks and comments, as libplist skips them between elements.
    Q_ALWAYS_INLINE const char* skipMisc(const char* p) const {
        p = skipBlanks(p);
        return at(p, "<!--") ? skipComments(p) : p;
    }
    Q_NEVER_INLINE const char* skipComments(const char* p) const {
        while (at(p, "<!--")) {
            const void* close = memmem(p + 4, size_t(_end - p - 4), "-->", 3);
            if (!close)
                return nullptr;
            p = skipBlanks(static_cast<const char*>(close) + 3);
        }
        return p;
    }
    // Markup up to its `terminator`. libplist steps over double-quoted runs looking for it and
    // PlistGuard does not, so both end it at the same place only when the quotes before it pair
    // up; single quotes (which PlistGuard also steps over) and `refused` characters are not
    // taken at all.
    const char* skipMarkup(const char* p, const char* terminator, qsizetype length,
                           const char* refused) const {
        const void* found = memmem(p, size_t(_end - p), terminator, size_t(length));
        if (!found)
            return nullptr;
        const char* stop = static_cast<const char*>(found);
        bool quoted = false;
        for (const char* c = p; c < stop; ++c) {
            quoted ^= *c == '"';
            if (*c == '\'' || std::strchr(refused, *c))
                return nullptr;
        }
        return quoted ? nullptr : stop + length;
    }
    Q_NEVER_INLINE const char* skipProlog(const char* p) const {
        for (;;) {
            if (!(p = skipMisc(p)) || at(p, "<?>"))
                return nullptr; // libplist ends "<?>" at once, PlistGuard at the next "?>"
            if (at(p, "<?"))
                p = skipMarkup(p + 2, "?>", 2, "<");
            else if (at(p, "<!DOCTYPE"))
                p = skipMarkup(p + 9, ">", 1, "<["); // '[' opens an internal subset
            else
                return p;
            if (!p)
                return nullptr;
        }
    }
    Q_NEVER_INLINE const char* openPlist(const char* p) const {
        if (!at(p, "<plist"))
            return nullptr;
        p += 6;
        if (p >= _end || (*p != '>' && !isBlank(*p)))
            return nullptr;
        // Attributes are passed over, as libplist does.
        p = skipMarkup(p, ">", 1, "<");
        return p && p[-2] != '/' ? p : nullptr; // <plist/> holds nothing
    }
    // `tag` ("</name"), blanks and ">", as libplist reads an end tag.
    template <qsizetype N>
    Q_ALWAYS_INLINE const char* closeTag(const char* p, const char (&tag)[N]) const {
        if (!at(p, tag))
            return nullptr;
        p += N - 1;
        return p < _end && *p == '>' ? p + 1 : closeAfterBlanks(p);
    }
    Q_NEVER_INLINE const char* closeAfterBlanks(const char* p) const {
        p = skipBlanks(p);
        return p < _end && *p == '>' ? p + 1 : nullptr;
    }
    // `tag` ("<name") and ">" or "/>", and whether the element closes itself. One bounds check
    // covers the longer form.
    template <qsizetype N>
    Q_ALWAYS_INLINE const char* startTag(const char* p, const char (&tag)[N], bool& empty) const {
        if (_end - p < N + 1 || std::memcmp(p, tag, N - 1) != 0)
            return nullptr;
        p += N - 1;
        empty = *p == '/';
        if (*p == '>')
            return p + 1;
        return empty && p[1] == '>' ? p + 2 : nullptr;
    }
    // The text from `p` up to the next '<'. Plain text is passed here, the rest by
    // readMarkedText.
    Q_ALWAYS_INLINE Text readText(const char* p) const {
        const char* c = skipPlainText(p, _end);
        if (c == _end || *c != '<')
            return readMarkedText(p, c);
        return {c};
    }
    // The same on from `c`, byte by byte, for text with entities (the five named ones only),
    // bytes beyond ASCII (UTF-8 only) or in the last bytes of the buffer (any text without
    // SSE2).
    Q_NEVER_INLINE Text readMarkedText(const char* p, const char* c) const {
        Text text{nullptr};
        unsigned char high = 0;
        for (; c < _end && *c != '<'; ++c) {
            high |= static_cast<unsigned char>(*c);
            if (*c != '&')
                continue;
            const NamedEntity* entity = entityAt(c, _end);
            if (!entity)
                return text;
            text.flags |= kEntities;
            c += entity->length - 1;
        }
        if (c >= _end)
            return text;
        if (high & 0x80) {
            text.flags |= kNonAscii;
            if (!QByteArrayView(p, c - p).isValidUtf8())
                return text;
        }
        text.end = c;
        return text;
    }
    // An entry after the ones read so far; its index.
    Q_ALWAYS_INLINE quint32 add(Type type, quint32 begin = 0, quint32 end = 0, quint8 flags = 0) {
        const quint32 index = quint32(_entries.size());
        _entries.push_back(Entry{begin, end, index + 1, type, flags});
        return index;
    }
    // One for the text from `p` to `text`.
    Q_ALWAYS_INLINE void add(Type type, const char* p, Text text) {
        add(type, quint32(p - _base), quint32(text.end - _base), text.flags);
    }
    // A container is filled by later readInContainer calls.
    template <qsizetype N>
    Q_ALWAYS_INLINE const char* readContainer(const char* p, const char (&tag)[N], Type type) {
        bool empty = false;
        if (!(p = startTag(p, tag, empty)))
            return nullptr;
        const quint32 index = add(type);
        if (!empty)
            _open.push_back({index, type == Type::Dictionary});
        return p;
    }
    Q_ALWAYS_INLINE const char* readString(const char* p) {
        bool empty = false;
        if (!(p = startTag(p, "<string", empty)))
            return nullptr;
        if (empty) {
            add(Type::String, p, Text{p});
            return p;
        }
        const Text text = readText(p);
        const char* q = text.end ? closeTag(text.end, "</string") : nullptr;
        if (q)
            add(Type::String, p, text);
        return q;
    }
    template <qsizetype N, qsizetype M>
    Q_NEVER_INLINE const char* readNumber(const char* p, const char (&tag)[N],
                                          const char (&endTag)[M], Type type) {
        bool empty = false;
        if (!(p = startTag(p, tag, empty)) || empty)
            return nullptr;
        const Text text = readText(p);
        if (!text.end)
            return nullptr;
        const QByteArrayView digits(p, text.end);
        if (!(type == Type::Integer ? XmlPlistScanner::isInteger(digits)
                                    : XmlPlistScanner::isReal(digits)))
            return nullptr;
        const char* q = closeTag(text.end, endTag);
        if (q)
            add(type, p, text);
        return q;
    }
    template <qsizetype N, qsizetype M>
    Q_ALWAYS_INLINE const char* readBoolean(const char* p, const char (&tag)[N],
                                            const char (&endTag)[M], Type type) {
        bool empty = false;
        if (!(p = startTag(p, tag, empty)) || !(empty || (p = closeTag(p, endTag))))
            return nullptr;
        add(type);
        return p;
    }
    // One value at `p`.
    Q_ALWAYS_INLINE const char* readValue(const char* p) {
        if (qsizetype(_open.size()) > PlistValue::maxDepth || _end - p < 2 || *p != '<')
            return nullptr;
        switch (p[1]) {
        case 'd':
            return readContainer(p, "<dict", Type::Dictionary);
        case 'a':
            return readContainer(p, "<array", Type::Array);
        case 's':
            return readString(p);
        case 'i':
            return readNumber(p, "<integer", "</integer", Type::Integer);
        case 'r':
            return readNumber(p, "<real", "</real", Type::Real);
        case 't':
            return readBoolean(p, "<true", "</true", Type::True);
        case 'f':
            return readBoolean(p, "<false", "</false", Type::False);
        default:
            return nullptr; // date, data, a key out of place, or no property-list element
        }
    }
    // The value inside <plist>; readValue stays inlined in the loop only.
    Q_NEVER_INLINE const char* readRoot(const char* p) { return readValue(p); }
    // A dictionary's key and the blanks and comments after it.
    Q_ALWAYS_INLINE const char* readKey(const char* p) {
        if (!at(p, "<key>"))
            return nullptr;
        p += 5;
        const Text text = readText(p);
        const char* q = text.end ? closeTag(text.end, "</key") : nullptr;
        if (!q || !(q = skipMisc(q)))
            return nullptr;
        add(Type::Key, p, text);
        return q;
    }
    // The next item of the innermost open container, or its end.
    Q_ALWAYS_INLINE const char* readInContainer(const char* p) {
        const OpenContainer container = _open.back();
        if (const char* q = container.dictionary ? closeTag(p, "</dict") : closeTag(p, "</array")) {
            _entries[container.index].next = quint32(_entries.size());
            _open.pop_back();
            return q;
        }
        if (container.dictionary && !(p = readKey(p)))
            return nullptr;
        return readValue(p);
    }

    const char* const _end;
    const char* const _base;
    const char* const _stop; // past the last byte that is not white space
    std::vector<Entry>& _entries;
    std::vector<OpenContainer> _open;
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
