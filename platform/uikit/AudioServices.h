#pragma once

#include <QList>
#include <QtGlobal>
#include <functional>

// System sounds. The desktop stand-in plays nothing: it records each request so that tests
// can read the log, and tells an optional observer.
void AudioServicesPlaySystemSound(quint32 soundID);

class AudioServices {
public:
    static QList<quint32> playedSounds();
    static void clearPlayed();
    static void setObserver(std::function<void(quint32)> observer);

private:
    friend void AudioServicesPlaySystemSound(quint32 soundID);
    static void record(quint32 soundID);
};
