#include "PlistGuard.h"

#include "BinaryPlistScanner.h"
#include "XmlPlistScanner.h"

bool PlistGuard::binaryIsSafe(const QByteArray& bytes) {
    return BinaryPlistScanner(bytes, maxDepth, maxBinaryValues).isSafe();
}

bool PlistGuard::xmlIsSafe(const QByteArray& bytes) {
    // XML has no NUL character; libplist would cut a key or text short at one, so the entry
    // would come back under another name or with another value.
    if (bytes.contains('\0'))
        return false;
    // Value levels 0..maxDepth sit inside the <plist> element.
    return XmlPlistScanner(bytes, maxDepth + 2).isSafe();
}
