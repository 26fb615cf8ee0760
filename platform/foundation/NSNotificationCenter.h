#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

// The in-process notification centre: observers register a callback for a name and hear
// every later post of it, in the order they registered. An observer's registrations end when
// it is destroyed or removed. (System-wide notifications go through NotifyCenter instead.)
class NSNotificationCenter : public QObject {
    Q_OBJECT
public:
    static NSNotificationCenter* defaultCenter();

    void addObserver(QObject* observer, const QString& name, std::function<void()> callback);
    void removeObserver(QObject* observer);
    void postNotificationName(const QString& name);
    int observerCount(const QString& name) const;

private slots:
    void observerDestroyed();

private:
    struct Registration {
        quint64 id;
        QPointer<QObject> observer;
        const QObject* raw; // identity only, for removal after the object is gone
        QString name;
        std::function<void()> callback;
    };
    QList<Registration> _registrations;
    quint64 _nextId = 1;
};

inline const QString UIApplicationDidEnterBackgroundNotification =
    "UIApplicationDidEnterBackgroundNotification";
