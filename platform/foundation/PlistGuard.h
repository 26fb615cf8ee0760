#pragma once

#include <QByteArray>
#include <cstdint>

// Checks run before bytes reach libplist 2.2. Its parsers, writers and plist_free recurse once
// per nesting level (a list nested some 30,000 deep overflows the stack), its binary parser
// expands shared objects without limit, and its XML parser reads malformed numbers and dates
// as made-up values; such input is turned away here.
class PlistGuard {
public:
    // Enough for any real preference file; deeper nesting counts as malformed.
    static constexpr int maxDepth = 512;
    // Values in a binary list once shared objects are expanded.
    static constexpr uint64_t maxBinaryValues = uint64_t(1) << 23;

    static bool binaryIsSafe(const QByteArray& bytes);
    static bool xmlIsSafe(const QByteArray& bytes);
};
