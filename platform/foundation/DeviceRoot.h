#pragma once

#include <QString>

// The device's file system. Every device path ("/var/jb/...", "/usr/bin/...") is resolved
// inside one device root directory; the root "/" means the real paths. The process sets its
// root once at start-up; tests give each case a fresh temporary root.
class DeviceRoot {
public:
    static void setPath(const QString& hostDirectory);
    static QString path();

    // The host path of a device path. A device path is absolute; a relative one is taken as
    // relative to the device's "/".
    static QString resolve(const QString& devicePath);
};
