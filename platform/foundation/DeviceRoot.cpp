#include "DeviceRoot.h"

#include <QDir>

namespace {
QString& rootPath() {
    static QString root = QStringLiteral("/");
    return root;
}
} // namespace

void DeviceRoot::setPath(const QString& hostDirectory) {
    QString clean = QDir::cleanPath(QDir(hostDirectory).absolutePath());
    rootPath() = clean.isEmpty() ? QStringLiteral("/") : clean;
}

QString DeviceRoot::path() {
    return rootPath();
}

QString DeviceRoot::resolve(const QString& devicePath) {
    const QString& root = rootPath();
    QString relative = devicePath;
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    if (root == QLatin1String("/"))
        return QLatin1Char('/') + relative;
    // Keep a trailing slash: callers build file names by appending to directory paths.
    return root + QLatin1Char('/') + relative;
}
