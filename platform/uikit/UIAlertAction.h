#pragma once

#include <QObject>
#include <QString>
#include <functional>

enum UIAlertActionStyle {
    UIAlertActionStyleDefault = 0,
    UIAlertActionStyleCancel = 1,
    UIAlertActionStyleDestructive = 2,
};

// One button of an alert: its title, its style and what a tap on it runs after the alert
// has closed.
class UIAlertAction : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(UIAlertAction*)>;

    static UIAlertAction* actionWithTitle(const QString& title, UIAlertActionStyle style,
                                          Handler handler = {});
    UIAlertAction(const QString& title, UIAlertActionStyle style, Handler handler = {},
                  QObject* parent = nullptr);

    QString title() const { return _title; }
    UIAlertActionStyle style() const { return _style; }
    bool isEnabled() const { return _enabled; }
    void setEnabled(bool enabled) { _enabled = enabled; }
    void runHandler();

private:
    QString _title;
    UIAlertActionStyle _style;
    Handler _handler;
    bool _enabled = true;
};
