#pragma once

#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

// A view controller that writes each lifecycle call into a shared log as "name:call".
class RecordingViewController : public UIViewController {
    Q_OBJECT
public:
    RecordingViewController(const QString& name, QStringList* log, QObject* parent = nullptr)
        : UIViewController(parent), _name(name), _log(log) {
        setTitle(name);
    }
    int loads = 0;

    void loadView() override {
        record("loadView");
        UIViewController::loadView();
    }
    void viewDidLoad() override {
        ++loads;
        record("viewDidLoad");
    }
    void viewWillAppear(bool) override { record("viewWillAppear"); }
    void viewDidAppear(bool) override { record("viewDidAppear"); }
    void viewWillDisappear(bool) override { record("viewWillDisappear"); }
    void viewDidDisappear(bool) override { record("viewDidDisappear"); }

private:
    void record(const QString& call) { _log->append(_name + ":" + call); }
    QString _name;
    QStringList* _log;
};

// Saves a screenshot where a person can look at it, and says whether it holds any ink.
inline bool saveScreenshot(QWidget* widget, const QString& path) {
    const QImage image = widget->grab().toImage();
    return !image.isNull() && image.save(path);
}
