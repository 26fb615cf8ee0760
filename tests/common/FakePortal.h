#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

// The desktop portal's Settings interface as a desktop would offer it, on the test's private
// session bus: it answers ReadOne (unless it plays a portal older than that method) and Read for
// `color-scheme`, and announces changes with SettingChanged.
class FakePortal : public QDBusVirtualObject {
public:
    explicit FakePortal(QVariant scheme, bool knowsReadOne = true)
        : _scheme(std::move(scheme)), _knowsReadOne(knowsReadOne) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        _registered = bus.registerService(kService) && bus.registerVirtualObject(kPath, this);
    }
    ~FakePortal() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(kPath);
        bus.unregisterService(kService);
    }
    bool registered() const { return _registered; }
    int reads() const { return _reads; }

    // The person picks another scheme in the desktop's settings.
    void change(const QVariant& scheme, const QString& nameSpace = kNamespace,
                const QString& key = kKey) {
        if (nameSpace == kNamespace && key == kKey)
            _scheme = scheme;
        QDBusMessage signal =
            QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("SettingChanged"));
        signal << nameSpace << key << QVariant::fromValue(QDBusVariant(scheme));
        QDBusConnection::sessionBus().send(signal);
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != kInterface)
            return false;
        const QList<QVariant> args = message.arguments();
        const bool asksScheme =
            args.size() == 2 && args[0].toString() == kNamespace && args[1].toString() == kKey;
        QDBusMessage reply;
        if (message.member() == QLatin1String("ReadOne") && _knowsReadOne && asksScheme)
            reply = message.createReply(QVariant::fromValue(QDBusVariant(_scheme)));
        else if (message.member() == QLatin1String("Read") && asksScheme)
            reply = message.createReply(
                QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(_scheme)))));
        else if (asksScheme)
            reply = message.createErrorReply(QDBusError::UnknownMethod, message.member());
        else
            reply =
                message.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                                         QStringLiteral("no such setting"));
        ++_reads;
        connection.send(reply);
        return true;
    }

    static inline const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
    static inline const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
    static inline const QString kKey = QStringLiteral("color-scheme");

private:
    QVariant _scheme;
    bool _knowsReadOne;
    bool _registered = false;
    int _reads = 0;
};
