#pragma once

#include <QObject>
#include <functional>

// One subscription of the notify centre: the D-Bus connection delivers the matching signal to
// this object's slot, which forwards it to the observer's callback.
class NotifyObserver : public QObject {
    Q_OBJECT
public:
    NotifyObserver(std::function<void()> callback, QObject* parent)
        : QObject(parent), _callback(std::move(callback)) {}

public slots:
    void deliver(const QString&) {
        if (_callback)
            _callback();
    }

private:
    std::function<void()> _callback;
};
