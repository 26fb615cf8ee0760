#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class NotifyObserver;

// The system-wide notify centre. A notification carries nothing but its name and reaches every
// process that observes that name. It travels as a D-Bus signal on the session bus whose first
// argument is the name; observers subscribe with a match on that argument, so a process's own
// posts reach its own observers the same way. Without a bus a post is lost silently, as on a
// device whose notify daemon is gone; the loss is counted so tests can see it.
class NotifyCenter : public QObject {
    Q_OBJECT
public:
    static NotifyCenter* darwin();

    void post(const QString& name);

    // Calls `callback` on the main thread for each notification named `name`, until the token is
    // removed or `context` is destroyed. Returns the token, or 0 when there is no bus.
    int observe(const QString& name, QObject* context, std::function<void()> callback);
    void removeObserver(int token);

    quint64 postedCount() const { return _posted; }
    quint64 lostCount() const { return _lost; }

    static const char* const path;
    static const char* const interface;
    static const char* const member;

private:
    NotifyCenter() = default;

    QHash<int, QPointer<NotifyObserver>> _observers;
    int _nextToken = 1;
    quint64 _posted = 0;
    quint64 _lost = 0;
};
