#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class UIScene;
class UIViewController;

// A top-level window showing its root view controller's view over its whole area (390 by
// 844 by default, the device's size). Every window has its own scene.
class UIWindow : public QWidget {
    Q_OBJECT
public:
    explicit UIWindow(QWidget* parent = nullptr);
    ~UIWindow() override;

    void setRootViewController(UIViewController* vc);
    UIViewController* rootViewController() const;
    void makeKeyAndVisible();
    UIScene* windowScene() const { return _scene; }
    quint64 shownAt() const { return _shownAt; } // order of showing; 0 while hidden
    void setTintColor(const QColor& color);
    QColor tintColor() const;

    QSize sizeHint() const override { return QSize(390, 844); }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<UIViewController> _root;
    UIScene* _scene = nullptr;
    quint64 _shownAt = 0;
};
