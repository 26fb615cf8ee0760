#include "PlistGuard.h"

bool PlistGuard::binaryIsSafe(const QByteArray& bytes) {
    return true;
}

bool PlistGuard::xmlIsSafe(const QByteArray& bytes) {
    return true;
}
