#pragma once

#include "foundation/DeviceRoot.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// A fresh device root for one test: made empty (with the preferences directory in place), set
// as the process's device root, and the previous root restored and the directory removed when
// the test ends.
class TempDeviceRoot {
public:
    TempDeviceRoot() : _previous(DeviceRoot::path()) {
        DeviceRoot::setPath(_dir.path());
        QDir().mkpath(hostPath(QStringLiteral("/var/jb/var/mobile/Library/Preferences")));
    }
    ~TempDeviceRoot() { DeviceRoot::setPath(_previous); }
    TempDeviceRoot(const TempDeviceRoot&) = delete;
    TempDeviceRoot& operator=(const TempDeviceRoot&) = delete;

    bool isValid() const { return _dir.isValid(); }
    QString path() const { return _dir.path(); }
    QString hostPath(const QString& devicePath) const { return DeviceRoot::resolve(devicePath); }

    // Writes a file at a device path, making its directory first.
    bool writeFile(const QString& devicePath, const QByteArray& bytes) const {
        const QString host = hostPath(devicePath);
        QDir().mkpath(QFileInfo(host).absolutePath());
        QFile file(host);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir _dir;
    QString _previous;
};
