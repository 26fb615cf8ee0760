#pragma once

#include "common/QtPrinters.h"

#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <QStringList>

// A view controller that writes each lifecycle call into a shared log as "name:call".
class RecordingViewController : public UIViewController {
    Q_OBJECT
public:
    RecordingViewController(const QString& name, QStringList* log, QObject* parent = nullptr)
        : UIViewController(parent), _name(name), _log(log) {
        setTitle(name);
    }

    void loadView() override {
        record("loadView");
        UIViewController::loadView();
    }
    void viewDidLoad() override { record("viewDidLoad"); }
    void viewWillAppear(bool) override { record("viewWillAppear"); }
    void viewDidAppear(bool) override { record("viewDidAppear"); }
    void viewWillDisappear(bool) override { record("viewWillDisappear"); }
    void viewDidDisappear(bool) override { record("viewDidDisappear"); }

private:
    void record(const QString& call) { _log->append(_name + ":" + call); }
    QString _name;
    QStringList* _log;
};

// The appearance calls of a log, without the loading ones.
inline QStringList appearanceOnly(const QStringList& log) {
    QStringList calls;
    for (const QString& entry : log)
        if (entry.contains("Appear") || entry.contains("Disappear"))
            calls.append(entry);
    return calls;
}
