#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QThread>
#include <QTimer>

// The desktop portal's Settings interface as a desktop would offer it, on the test's private
// session bus: it answers ReadOne (unless it plays a portal older than that method) and Read for
// `color-scheme`, and announces changes with SettingChanged. It has a bus connection and a
// thread of its own, as a separate process would, so a caller that blocks waiting for it is
// answered (or not, when it answers late) as by the real one.
class FakePortal : public QDBusVirtualObject {
public:
    explicit FakePortal(QVariant scheme, bool knowsReadOne = true)
        : _bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             QStringLiteral("fake-portal"))),
          _scheme(std::move(scheme)), _knowsReadOne(knowsReadOne) {
        _thread.start();
        moveToThread(&_thread);
        _registered = _bus.registerVirtualObject(kPath, this) && _bus.registerService(kService);
    }
    ~FakePortal() override {
        _bus.unregisterService(kService);
        _bus.unregisterObject(kPath);
        _thread.quit();
        _thread.wait();
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-portal"));
    }
    bool registered() const { return _registered; }
    // Answers this long after being asked, as a portal still starting up does.
    void setAnswerDelay(int ms) { _delay = ms; }

    // The person picks another scheme in the desktop's settings.
    void change(const QVariant& scheme, const QString& nameSpace = kNamespace,
                const QString& key = kKey) {
        if (nameSpace == kNamespace && key == kKey) {
            QMutexLocker lock(&_mutex);
            _scheme = scheme;
        }
        QDBusMessage signal =
            QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("SettingChanged"));
        signal << nameSpace << key << QVariant::fromValue(QDBusVariant(scheme));
        _bus.send(signal);
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != kInterface)
            return false;
        const QList<QVariant> args = message.arguments();
        const bool asksScheme =
            args.size() == 2 && args[0].toString() == kNamespace && args[1].toString() == kKey;
        QVariant scheme;
        {
            QMutexLocker lock(&_mutex);
            scheme = _scheme;
        }
        QDBusMessage reply;
        if (message.member() == QLatin1String("ReadOne") && _knowsReadOne && asksScheme)
            reply = message.createReply(QVariant::fromValue(QDBusVariant(scheme)));
        else if (message.member() == QLatin1String("Read") && asksScheme)
            reply = message.createReply(
                QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(scheme)))));
        else if (asksScheme)
            reply = message.createErrorReply(QDBusError::UnknownMethod, message.member());
        else
            reply =
                message.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                                         QStringLiteral("no such setting"));
        QDBusConnection bus(connection);
        if (_delay > 0)
            QTimer::singleShot(_delay, [bus, reply] { QDBusConnection(bus).send(reply); });
        else
            bus.send(reply);
        return true;
    }

    static inline const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
    static inline const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
    static inline const QString kKey = QStringLiteral("color-scheme");

private:
    QDBusConnection _bus;
    QThread _thread;
    QMutex _mutex;
    QVariant _scheme;
    bool _knowsReadOne;
    bool _registered = false;
    int _delay = 0;
};
