#pragma once

#include "uikit/UITraitCollection.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <optional>

// Follows the desktop's light or dark choice: `color-scheme` in the `org.freedesktop.appearance`
// namespace, read through the desktop portal's `org.freedesktop.portal.Settings` interface and
// again on each `SettingChanged` it announces, sets the application's appearance. 1 (prefer
// dark) is dark; 0 (no preference) and 2 (prefer light) are light. Without a portal, or with
// an answer it cannot read, the appearance is left as it is.
class DesktopColorScheme : public QObject {
    Q_OBJECT
public:
    static const QString kService;
    static const QString kPath;
    static const QString kInterface;
    static const QString kNamespace;
    static const QString kKey;

    explicit DesktopColorScheme(const QDBusConnection& bus, QObject* parent = nullptr);

    // Listens for changes, then asks. The first answer is waited for at most `waitMilliseconds`
    // (0: not at all) so that the first frame is drawn in the right appearance; one that comes
    // later is applied when it comes.
    void start(int waitMilliseconds);

    // The appearance a portal value stands for; nothing for a value that is not a scheme.
    static std::optional<UIUserInterfaceStyle> styleForValue(const QVariant& value);

signals:
    void styleApplied(UIUserInterfaceStyle style); // after every answer or change it read

private slots:
    void settingChanged(const QDBusMessage& change); // namespace, key, value

private:
    QDBusMessage readMessage(const QString& method) const;
    void ask(const QString& method);
    void answered(const QDBusMessage& reply, const QString& method);
    void apply(const QVariant& value);

    QDBusConnection _bus;
};
