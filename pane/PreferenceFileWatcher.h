#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Tells when the preference file may have changed: the file system's notice for the file
// itself (rewritten in place) or for its folder (a new file renamed into its place, or the file
// made or removed). A write comes as a burst of notices (a temporary file, its rename); a burst
// gives one signal. Our own writes are noticed too: what changed is for the receiver to tell.
class PreferenceFileWatcher : public QObject {
    Q_OBJECT
public:
    PreferenceFileWatcher(QString hostPath, QObject* parent = nullptr);

    static constexpr int kGatherMilliseconds = 10;

signals:
    void fileMayHaveChanged();

private:
    void arm();
    void noticed();

    QString _path;
    QFileSystemWatcher _watcher;
    QTimer _gather;
};
