#include "PlistGuard.h"

#include "BinaryPlistScanner.h"
#include "XmlPlistScanner.h"

bool PlistGuard::binaryIsSafe(const QByteArray& bytes) {
    return BinaryPlistScanner(bytes, maxDepth, maxBinaryValues).isSafe();
}

bool PlistGuard::xmlIsSafe(const QByteArray& bytes) {
    // Value levels 0..maxDepth sit inside the <plist> element.
    return XmlPlistScanner(bytes, maxDepth + 2).isSafe();
}
