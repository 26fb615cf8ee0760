#include "NotifyCenter.h"
#include "NotifyObserver.h"

#include <QDBusConnection>
#include <QDBusMessage>

const char* const NotifyCenter::path = "/platform/notify";
const char* const NotifyCenter::interface = "platform.notify.Center";
const char* const NotifyCenter::member = "Post";

NotifyCenter* NotifyCenter::darwin() {
    static NotifyCenter* center = new NotifyCenter;
    return center;
}

void NotifyCenter::post(const QString& name) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(path), QString::fromLatin1(interface), QString::fromLatin1(member));
    signal << name;
    if (bus.isConnected() && bus.send(signal))
        ++_posted;
    else
        ++_lost;
}

int NotifyCenter::observe(const QString& name, QObject* context, std::function<void()> callback) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return 0;
    // Parented to the context, so the subscription ends with it.
    auto* observer = new NotifyObserver(std::move(callback), context);
    const bool ok =
        bus.connect(QString(), QString::fromLatin1(path), QString::fromLatin1(interface),
                    QString::fromLatin1(member), QStringList{name}, QStringLiteral("s"), observer,
                    SLOT(deliver(QString)));
    if (!ok) {
        delete observer;
        return 0;
    }
    const int token = _nextToken++;
    _observers.insert(token, observer);
    return token;
}

void NotifyCenter::removeObserver(int token) {
    QPointer<NotifyObserver> observer = _observers.take(token);
    delete observer.data(); // the connection ends with the receiver
}
