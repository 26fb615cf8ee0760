#include "PlistValue.h"

#include "PlistScalar.h"

#include <QDateTime>
#include <QStringDecoder>
#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

std::optional<QVariant> fromNodeAt(plist_t node, int depth);
plist_t toNodeAt(const QVariant& value, int depth, bool wholeSeconds);

std::optional<QVariant> integerFromNode(plist_t node) {
    uint64_t raw = 0;
    plist_get_uint_val(node, &raw);
    if (raw <= uint64_t(INT64_MAX))
        return QVariant(qint64(raw));
    // libplist 2.2 keeps negative and very large integers in the same 64 bits; only the
    // stored width tells them apart, and the binary form shows it.
    std::optional<bool> isUnsigned = PlistScalar::integerIsUnsigned(node);
    if (!isUnsigned)
        return std::nullopt;
    if (*isUnsigned)
        return QVariant(quint64(raw));
    return QVariant(qint64(raw));
}

std::optional<QVariant> dateFromNode(plist_t node) {
    std::optional<double> seconds = PlistScalar::dateSeconds(node);
    if (!seconds)
        return std::nullopt;
    std::optional<QDateTime> date = PlistScalar::dateFromSeconds(*seconds);
    if (!date)
        return std::nullopt;
    return QVariant(*date);
}

std::optional<QVariant> arrayFromNode(plist_t node, int depth) {
    QVariantList list;
    list.reserve(qsizetype(plist_array_get_size(node)));
    // Walked with an iterator: an array read from the binary form has no index, so fetching
    // item i walks i siblings and a long array would cost the square of its length.
    plist_array_iter iter = nullptr;
    plist_array_new_iter(node, &iter);
    if (!iter)
        return std::nullopt;
    bool ok = true;
    while (ok) {
        plist_t child = nullptr;
        plist_array_next_item(node, iter, &child);
        if (!child)
            break;
        std::optional<QVariant> item = fromNodeAt(child, depth + 1);
        if (item)
            list.append(std::move(*item));
        else
            ok = false;
    }
    std::free(iter);
    if (!ok)
        return std::nullopt;
    return QVariant(std::move(list));
}

std::optional<QString> utf8Text(const char* text, qsizetype length) {
    // Most keys and texts are plain ASCII, which needs no decoder.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (std::all_of(bytes, bytes + length, [](unsigned char c) { return c < 0x80; }))
        return QString::fromLatin1(text, length);
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString decoded = decoder.decode(QByteArrayView(text, length));
    if (decoder.hasError())
        return std::nullopt;
    return decoded;
}

// The text of a string node; nullopt if it holds a NUL, which libplist's writer would cut
// short, so such a text could never be written back.
std::optional<QString> textFromNode(plist_t node) {
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (!text)
        return QString();
    if (std::memchr(text, '\0', size_t(length)))
        return std::nullopt;
    return utf8Text(text, qsizetype(length));
}

std::optional<QVariant> dictFromNode(plist_t node, int depth) {
    QVariantMap map;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    if (!iter)
        return std::nullopt;
    bool ok = true;
    while (ok) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iter, &key, &item);
        if (!item) {
            std::free(key);
            break;
        }
        // Keys with a NUL never get here: PlistGuard refuses them (libplist cuts them short).
        std::optional<QVariant> value = fromNodeAt(item, depth + 1);
        std::optional<QString> name =
            key ? utf8Text(key, qsizetype(std::strlen(key))) : std::nullopt;
        if (value && name)
            map.insert(map.cend(), *name, std::move(*value)); // mostly sorted
        else
            ok = false;
        std::free(key);
    }
    std::free(iter);
    if (!ok)
        return std::nullopt;
    return QVariant(std::move(map));
}

std::optional<QVariant> fromNodeAt(plist_t node, int depth) {
    if (!node || depth > PlistValue::maxDepth)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return QVariant(value != 0);
    }
    case PLIST_UINT:
        return integerFromNode(node);
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return QVariant(value);
    }
    case PLIST_STRING: {
        std::optional<QString> text = textFromNode(node);
        return text ? std::optional<QVariant>(QVariant(*text)) : std::nullopt;
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return QVariant(QByteArray(bytes, bytes ? qsizetype(length) : 0));
    }
    case PLIST_DATE:
        return dateFromNode(node);
    case PLIST_ARRAY:
        return arrayFromNode(node, depth);
    case PLIST_DICT:
        return dictFromNode(node, depth);
    default: // UID and anything newer have no value form here
        return std::nullopt;
    }
}

plist_t signedNode(qint64 value) {
    return plist_new_uint(uint64_t(value));
}

plist_t unsignedNode(quint64 value) {
    if (value <= quint64(INT64_MAX))
        return plist_new_uint(value);
    return PlistScalar::newLargeUnsigned(value);
}

// libplist's XML writer cuts a date's fraction toward 2001, which moves a date before 2001
// into the next second; flooring first keeps every date in the second it falls in.
plist_t dateNode(const QDateTime& date, bool wholeSeconds) {
    if (!wholeSeconds || !date.isValid())
        return PlistScalar::newDate(date);
    const qint64 fraction = ((date.toMSecsSinceEpoch() % 1000) + 1000) % 1000;
    return PlistScalar::newDate(date.addMSecs(-fraction));
}

plist_t stringNode(const QString& text) {
    // libplist strings end at the first NUL, so such a text would be cut short.
    if (text.contains(QChar(0)))
        return nullptr;
    return plist_new_string(text.toUtf8().constData());
}

plist_t arrayNode(const QVariantList& list, int depth, bool wholeSeconds) {
    plist_t array = plist_new_array();
    for (const QVariant& item : list) {
        plist_t child = toNodeAt(item, depth + 1, wholeSeconds);
        if (!child) {
            plist_free(array);
            return nullptr;
        }
        plist_array_append_item(array, child);
    }
    return array;
}

template <typename Map> plist_t dictNode(const Map& map, int depth, bool wholeSeconds) {
    plist_t dict = plist_new_dict();
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        plist_t child =
            it.key().contains(QChar(0)) ? nullptr : toNodeAt(it.value(), depth + 1, wholeSeconds);
        if (!child) {
            plist_free(dict);
            return nullptr;
        }
        plist_dict_set_item(dict, it.key().toUtf8().constData(), child);
    }
    return dict;
}

plist_t toNodeAt(const QVariant& value, int depth, bool wholeSeconds) {
    if (depth > PlistValue::maxDepth)
        return nullptr;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return signedNode(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return unsignedNode(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString:
        return stringNode(value.toString());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime:
        return dateNode(value.toDateTime(), wholeSeconds);
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return arrayNode(value.toList(), depth, wholeSeconds);
    case QMetaType::QVariantMap:
        return dictNode(value.toMap(), depth, wholeSeconds);
    case QMetaType::QVariantHash:
        return dictNode(value.toHash(), depth, wholeSeconds);
    default:
        return nullptr;
    }
}

} // namespace

std::optional<QVariant> PlistValue::fromNode(plist_t node) {
    return fromNodeAt(node, 0);
}

std::optional<QString> PlistValue::textFromUtf8(QByteArrayView text) {
    return utf8Text(text.data(), text.size());
}

plist_t PlistValue::toNode(const QVariant& value, DateForm dates) {
    return toNodeAt(value, 0, dates == DateForm::WholeSeconds);
}
