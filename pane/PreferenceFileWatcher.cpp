#include "PreferenceFileWatcher.h"

#include <QFileInfo>

PreferenceFileWatcher::PreferenceFileWatcher(QString hostPath, QObject* parent)
    : QObject(parent), _path(std::move(hostPath)) {
    _gather.setSingleShot(true);
    _gather.setInterval(kGatherMilliseconds);
    connect(&_gather, &QTimer::timeout, this, [this] {
        arm();
        emit fileMayHaveChanged();
    });
    connect(&_watcher, &QFileSystemWatcher::fileChanged, this, &PreferenceFileWatcher::noticed);
    connect(&_watcher, &QFileSystemWatcher::directoryChanged, this,
            &PreferenceFileWatcher::noticed);
    arm();
}

void PreferenceFileWatcher::noticed() {
    _gather.start();
}

void PreferenceFileWatcher::arm() {
    const QString folder = QFileInfo(_path).absolutePath();
    if (!_watcher.directories().contains(folder) && QFileInfo::exists(folder))
        _watcher.addPath(folder);
    // A file renamed into place is another file: the watch on the one it replaced is stale, so
    // the path is watched afresh after every burst.
    if (_watcher.files().contains(_path))
        _watcher.removePath(_path);
    if (QFileInfo::exists(_path))
        _watcher.addPath(_path);
}
