#include "foundation/PropertyList.h"

#include <cstdint>
#include <cstdlib>

// Any bytes: parsing never crashes, and whatever parses writes as XML that parses again and
// writes identically (XML is the fixed point: dates lose sub-seconds on the first write).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Raw data without a terminating NUL, so an over-read shows up.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QVariant> value = PropertyList::parse(bytes);
    if (!value)
        return 0;
    const QByteArray xml = PropertyList::toXml(*value);
    if (xml.isEmpty())
        std::abort(); // a value that was read must be writable
    const std::optional<QVariant> again = PropertyList::parse(xml);
    if (!again || PropertyList::toXml(*again) != xml)
        std::abort();
    return 0;
}
