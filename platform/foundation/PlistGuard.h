#pragma once

#include <QByteArray>

// Checks run before bytes reach libplist 2.2, whose parsers recurse once per nesting level
// and trust a binary list's offsets: input that would exhaust the stack, point outside the
// buffer or reference itself is turned away here.
class PlistGuard {
public:
    static constexpr int maxDepth = 512;

    static bool binaryIsSafe(const QByteArray& bytes);
    static bool xmlIsSafe(const QByteArray& bytes);
};
