#include "foundation/StringsTable.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QHash<QString, QString> table = StringsTable::parse(bytes);
    // Touch every entry so a bad string shows up under the sanitizers.
    qsizetype total = 0;
    for (auto it = table.constBegin(); it != table.constEnd(); ++it)
        total += it.key().size() + it.value().size();
    return total < 0 ? 1 : 0;
}
