#pragma once

#include "common/TempDeviceRoot.h"

#include "foundation/PropertyList.h"

#include <QDir>
#include <QFile>

// A temporary device root with the pane installed as `cmake --install` lays it out: the
// bundle's resources, its module (linked from the build) and the settings entry.
class InstalledRoot : public TempDeviceRoot {
public:
    static inline const QString kBundle =
        QStringLiteral("/var/jb/Library/PreferenceBundles/tolvplayerprefs.bundle");
    static inline const QString kEntries =
        QStringLiteral("/var/jb/Library/PreferenceLoader/Preferences");

    InstalledRoot() {
        copyTree(QStringLiteral(QEV_SOURCE_DIR "/resources/bundle"), hostPath(kBundle));
        copyTree(QStringLiteral(QEV_SOURCE_DIR "/resources/entry"), hostPath(kEntries));
        QFile::link(QStringLiteral(QEV_BINARY_DIR "/pane/tolvplayerprefs.so"),
                    hostPath(kBundle + "/tolvplayerprefs.so"));
    }

    void writeEntry(const QString& fileName, const QVariantMap& entry) const {
        writeFile(kEntries + "/" + fileName, PropertyList::toXml(QVariantMap{{"entry", entry}}));
    }

private:
    static void copyTree(const QString& from, const QString& to) {
        QDir().mkpath(to);
        const QDir source(from);
        for (const QString& name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), to + "/" + name);
        for (const QString& name : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            copyTree(source.filePath(name), to + "/" + name);
    }
};
