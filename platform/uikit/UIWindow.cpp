#include "uikit/UIWindow.h"

#include "uikit/UIApplication.h"
#include "uikit/UIColor.h"
#include "uikit/UIScene.h"
#include "uikit/UITint.h"
#include "uikit/UIViewController.h"

#include <QEvent>

UIWindow::UIWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    _scene = new UIScene(this);
    setAutoFillBackground(true);
    UIColor::setPaletteColor(this, QPalette::Window, UIColor::systemBackgroundColor());
    resize(sizeHint());
    UIApplication::sharedApplication()->registerWindow(this);
}

UIWindow::~UIWindow() {
    if (UIApplication* app = UIApplication::existingApplication())
        app->unregisterWindow(this);
}

void UIWindow::setRootViewController(UIViewController* vc) {
    if (vc == _root)
        return;
    if (_root && _root->isViewLoaded()) {
        QWidget* old = _root->view();
        old->hide();
        old->setParent(nullptr);
    }
    _root = vc;
    if (!vc)
        return;
    QWidget* view = vc->view();
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
}

UIViewController* UIWindow::rootViewController() const {
    return _root;
}

void UIWindow::makeKeyAndVisible() {
    UIApplication::sharedApplication()->setKeyWindowHint(this);
    show();
    raise();
    activateWindow();
}

void UIWindow::setTintColor(const QColor& color) {
    UITint::setTintColor(this, color);
}

QColor UIWindow::tintColor() const {
    return UITint::tintColor(this);
}

void UIWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (_root && _root->isViewLoaded())
        _root->view()->setGeometry(rect());
}

void UIWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        UIApplication::sharedApplication()->windowStateChanged();
}

void UIWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    static quint64 shows = 0;
    if (!_shownAt)
        _shownAt = ++shows;
    // The window holds the focus itself until the person moves it: a control given it at once
    // would take the first Space or Enter before anyone could see where the focus was.
    if (!focusWidget())
        setFocus(Qt::ActiveWindowFocusReason);
    UIApplication::sharedApplication()->windowStateChanged();
}

void UIWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    _shownAt = 0;
    UIApplication::sharedApplication()->windowStateChanged();
}
