#pragma once

#include "foundation/PlistValue.h"

#include <QByteArray>
#include <QVariant>
#include <cstdlib>
#include <plist/plist.h>

// The binary property list libplist itself writes for `value`, as another program would write
// it; empty when the value has no property-list form.
inline QByteArray libplistBinary(const QVariant& value) {
    plist_t node = PlistValue::toNode(value);
    if (!node)
        return {};
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    QByteArray binary(bytes, bytes ? qsizetype(length) : 0);
    std::free(bytes);
    plist_free(node);
    return binary;
}
