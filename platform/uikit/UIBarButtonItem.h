#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// A bar item made from a custom view, shown by the navigation bar at its trailing edge.
// The item holds its view.
class UIBarButtonItem : public QObject {
    Q_OBJECT
public:
    explicit UIBarButtonItem(QWidget* customView, QObject* parent = nullptr);
    ~UIBarButtonItem() override;
    QWidget* customView() const { return _customView; }

private:
    QPointer<QWidget> _customView;
};
