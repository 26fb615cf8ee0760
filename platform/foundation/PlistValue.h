#pragma once

#include <QVariant>
#include <optional>

// Same type as libplist's handle; repeated here so callers need not include libplist.
typedef void* plist_t;

// Conversion between libplist nodes and QVariant values. Values are bool, qint64, quint64
// (only above INT64_MAX), double, QString, QByteArray (data), QDateTime (UTC), QVariantList
// and QVariantMap. Anything else, and nesting deeper than maxDepth, does not convert.
class PlistValue {
public:
    // Deeper trees are treated as malformed, so neither conversion can exhaust the stack.
    static constexpr int maxDepth = 512;

    // The node's value, or nullopt if the tree holds a type or value that has no QVariant form.
    static std::optional<QVariant> fromNode(plist_t node);
    // UTF-8 taken exactly; nullopt for bytes that are not valid UTF-8. Decoding them leniently
    // would replace them, and the next write would store the replacement in place of what was
    // there.
    static std::optional<QString> textFromUtf8(QByteArrayView text);

    enum class DateForm { Exact, WholeSeconds };

    // A new tree (free with plist_free), or nullptr if the value is not representable. Trees
    // meant for XML, which holds whole seconds, take dates as WholeSeconds (floored).
    static plist_t toNode(const QVariant& value, DateForm dates = DateForm::Exact);
};
