#include "foundation/NSNotificationCenter.h"

#include <algorithm>

NSNotificationCenter* NSNotificationCenter::defaultCenter() {
    static NSNotificationCenter* center = new NSNotificationCenter; // lives for the process
    return center;
}

void NSNotificationCenter::addObserver(QObject* observer, const QString& name,
                                       std::function<void()> callback) {
    if (!observer || !callback)
        return;
    _registrations.append({_nextId++, observer, observer, name, std::move(callback)});
    connect(observer, &QObject::destroyed, this, &NSNotificationCenter::observerDestroyed,
            Qt::UniqueConnection);
}

void NSNotificationCenter::observerDestroyed() {
    const QObject* gone = sender();
    _registrations.removeIf(
        [gone](const Registration& r) { return r.observer.isNull() || r.raw == gone; });
}

void NSNotificationCenter::removeObserver(QObject* observer) {
    if (!observer)
        return;
    _registrations.removeIf([observer](const Registration& r) { return r.raw == observer; });
}

void NSNotificationCenter::postNotificationName(const QString& name) {
    // A callback may add or remove registrations: work from a snapshot of the ids and look
    // each one up again before calling it.
    QList<quint64> ids;
    for (const Registration& r : _registrations) {
        if (r.name == name)
            ids.append(r.id);
    }
    for (quint64 id : ids) {
        auto it = std::find_if(_registrations.begin(), _registrations.end(),
                               [id](const Registration& r) { return r.id == id; });
        if (it == _registrations.end() || !it->observer)
            continue;
        const std::function<void()> callback = it->callback; // survives its own removal
        callback();
    }
}

int NSNotificationCenter::observerCount(const QString& name) const {
    return int(std::count_if(_registrations.begin(), _registrations.end(),
                             [&](const Registration& r) { return r.name == name && r.observer; }));
}
