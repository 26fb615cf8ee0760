#include "uikit/AudioServices.h"

namespace {
struct SoundLog {
    QList<quint32> played;
    std::function<void(quint32)> observer;
};

SoundLog& soundLog() {
    static SoundLog log;
    return log;
}
} // namespace

void AudioServicesPlaySystemSound(quint32 soundID) {
    AudioServices::record(soundID);
}

void AudioServices::record(quint32 soundID) {
    soundLog().played.append(soundID);
    if (soundLog().observer)
        soundLog().observer(soundID);
}

QList<quint32> AudioServices::playedSounds() {
    return soundLog().played;
}

void AudioServices::clearPlayed() {
    soundLog().played.clear();
}

void AudioServices::setObserver(std::function<void(quint32)> observer) {
    soundLog().observer = std::move(observer);
}
