#include "uikit/DesktopColorScheme.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

const QString DesktopColorScheme::kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString DesktopColorScheme::kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString DesktopColorScheme::kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString DesktopColorScheme::kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString DesktopColorScheme::kKey = QStringLiteral("color-scheme");

namespace {
const QString kReadOne = QStringLiteral("ReadOne");
const QString kRead = QStringLiteral("Read");
const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString kNoReply = QStringLiteral("org.freedesktop.DBus.Error.NoReply");

// Read wraps the value in one variant more than ReadOne does.
QVariant unwrapped(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}
} // namespace

DesktopColorScheme::DesktopColorScheme(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), _bus(bus) {}

std::optional<UIUserInterfaceStyle> DesktopColorScheme::styleForValue(const QVariant& value) {
    const QVariant plain = unwrapped(value);
    switch (plain.metaType().id()) {
    case QMetaType::UInt:
    case QMetaType::Int:
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::Short:
    case QMetaType::ULongLong:
    case QMetaType::LongLong:
        break;
    default:
        return std::nullopt;
    }
    switch (plain.toLongLong()) {
    case 1:
        return UIUserInterfaceStyle::Dark;
    case 0:
    case 2:
        return UIUserInterfaceStyle::Light;
    default:
        return std::nullopt;
    }
}

void DesktopColorScheme::start(int waitMilliseconds) {
    if (!_bus.isConnected())
        return;
    // The whole message: QtDBus will not hand a variant argument to a slot by itself.
    _bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QDBusMessage)));
    if (waitMilliseconds > 0) {
        const QDBusMessage reply = _bus.call(readMessage(kReadOne), QDBus::Block, waitMilliseconds);
        if (reply.type() != QDBusMessage::ErrorMessage || reply.errorName() != kNoReply) {
            answered(reply, kReadOne);
            return;
        }
    }
    ask(kReadOne); // not waited for, or no answer yet: the answer is applied when it comes
}

QDBusMessage DesktopColorScheme::readMessage(const QString& method) const {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message << kNamespace << kKey;
    return message;
}

void DesktopColorScheme::ask(const QString& method) {
    auto* watcher = new QDBusPendingCallWatcher(_bus.asyncCall(readMessage(method)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                answered(call->reply(), method);
            });
}

void DesktopColorScheme::answered(const QDBusMessage& reply, const QString& method) {
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        apply(reply.arguments().constFirst());
        return;
    }
    // A portal older than ReadOne knows Read only; anything else (no portal, no such setting)
    // leaves the appearance as it is.
    if (method == kReadOne && reply.errorName() == kUnknownMethod)
        ask(kRead);
}

void DesktopColorScheme::settingChanged(const QDBusMessage& change) {
    const QList<QVariant> args = change.arguments();
    if (args.size() == 3 && args[0].toString() == kNamespace && args[1].toString() == kKey)
        apply(args[2]);
}

void DesktopColorScheme::apply(const QVariant& value) {
    const std::optional<UIUserInterfaceStyle> style = styleForValue(value);
    if (!style)
        return;
    UITraitCollection::setUserInterfaceStyleOfApplication(*style);
    emit styleApplied(*style);
}
