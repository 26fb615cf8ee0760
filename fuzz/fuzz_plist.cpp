#include "foundation/PropertyList.h"
#include "foundation/XmlPropertyList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The same type and value: reals bit for bit (NaN included), containers item by item.
bool same(const QVariant& a, const QVariant& b) {
    if (a.typeId() != b.typeId())
        return false;
    switch (a.typeId()) {
    case QMetaType::Double: {
        const double x = a.toDouble(), y = b.toDouble();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    case QMetaType::QVariantList: {
        const QVariantList x = a.toList(), y = b.toList();
        return x.size() == y.size() && std::equal(x.cbegin(), x.cend(), y.cbegin(), same);
    }
    case QMetaType::QVariantMap: {
        const QVariantMap x = a.toMap(), y = b.toMap();
        return x.keys() == y.keys() && std::equal(x.cbegin(), x.cend(), y.cbegin(), y.cend(), same);
    }
    default:
        return a == b;
    }
}

// Walking the index (children, key lookups, plain texts) finds what the whole value holds.
bool walksAsWhole(const XmlPropertyList& list, int index, const QVariant& whole) {
    if (!same(list.value(index), whole))
        return false;
    const std::optional<QLatin1StringView> ascii = list.asciiText(index);
    if (ascii && *ascii != whole.toString())
        return false;
    if (list.type(index) == XmlPropertyList::Type::Array) {
        const QVariantList items = whole.toList();
        qsizetype i = 0;
        for (int child = list.firstChild(index); child >= 0; child = list.nextChild(index, child))
            if (i >= items.size() || !walksAsWhole(list, child, items.at(i++)))
                return false;
        return i == items.size();
    }
    if (list.type(index) == XmlPropertyList::Type::Dictionary) {
        const QVariantMap entries = whole.toMap();
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            const int child = list.valueForKey(index, it.key());
            if (child < 0 || !walksAsWhole(list, child, it.value()))
                return false;
        }
        return list.valueForKey(index, QStringLiteral("\n absent \n")) < 0 ||
               entries.contains(QStringLiteral("\n absent \n"));
    }
    return true;
}

// Dates and data are left to libplist by XmlPropertyList.
bool holdsDateOrData(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDateTime:
    case QMetaType::QByteArray:
        return true;
    case QMetaType::QVariantList: {
        const QVariantList items = value.toList();
        return std::any_of(items.cbegin(), items.cend(), holdsDateOrData);
    }
    case QMetaType::QVariantMap: {
        const QVariantMap entries = value.toMap();
        return std::any_of(entries.cbegin(), entries.cend(), holdsDateOrData);
    }
    default:
        return false;
    }
}

// XmlPropertyList either leaves the bytes to libplist or reads the values libplist reads.
void readsAsLibplist(const QByteArray& bytes, bool mustTake) {
    const std::shared_ptr<const XmlPropertyList> list = XmlPropertyList::read(bytes);
    if (!list) {
        if (mustTake)
            std::abort();
        return;
    }
    const std::optional<QVariant> libplist = PropertyList::parseWithLibplist(bytes);
    if (!libplist || !walksAsWhole(*list, 0, *libplist))
        std::abort();
}

} // namespace

// Any bytes: parsing never crashes, and whatever parses writes as XML that parses again and
// writes identically (XML is the fixed point: dates lose sub-seconds on the first write).
// Whatever XmlPropertyList takes, libplist reads to the same value; and it takes what libplist
// writes, except dates and data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Raw data without a terminating NUL, so an over-read shows up.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    readsAsLibplist(bytes, false);
    const std::optional<QVariant> value = PropertyList::parse(bytes);
    if (!value)
        return 0;
    const QByteArray xml = PropertyList::toXml(*value);
    if (xml.isEmpty())
        std::abort(); // a value that was read must be writable
    readsAsLibplist(xml, !holdsDateOrData(*value));
    const std::optional<QVariant> again = PropertyList::parse(xml);
    if (!again || PropertyList::toXml(*again) != xml)
        std::abort();
    return 0;
}
