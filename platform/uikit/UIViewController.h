#pragma once

#include "uikit/UIKitDefines.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <functional>

class QWidget;

// A view controller: owns one view, loaded on first use, and hears when it appears and
// disappears. Containers (the navigation controller) pass appearance on to their children; a
// controller with no parent controller appears when its view is shown as (or inside) a window
// and disappears when that is hidden, or when a window makes it its root.
class UIViewController : public QObject {
    Q_OBJECT
public:
    explicit UIViewController(QObject* parent = nullptr);
    ~UIViewController() override;

    QWidget* view();
    bool isViewLoaded() const;
    virtual void loadView();
    virtual void viewDidLoad();
    virtual void viewWillAppear(bool animated);
    virtual void viewDidAppear(bool animated);
    virtual void viewWillDisappear(bool animated);
    virtual void viewDidDisappear(bool animated);

    QString title() const;
    void setTitle(const QString& title);
    UINavigationItem* navigationItem();
    UINavigationController* navigationController() const;
    UIViewController* parentViewController() const;
    QList<UIViewController*> childViewControllers() const;
    void addChildViewController(UIViewController* child);
    void removeFromParentViewController();

    void presentViewController(UIViewController* vc, bool animated,
                               std::function<void()> completion = {});
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion = {});
    UIViewController* presentedViewController() const;
    UIViewController* presentingViewController() const;
    UIModalPresentationStyle modalPresentationStyle() const;
    void setModalPresentationStyle(UIModalPresentationStyle style);
    QSize preferredContentSize() const;
    void setPreferredContentSize(QSize size);
    UIPopoverPresentationController* popoverPresentationController();
    UIPresentationController* presentationController() const { return _presentationController; }

    static UIViewController* viewControllerForView(QWidget* view);

    // Appearance as the platform drives it: will-callback, then the children, state kept so
    // that a controller never appears twice in a row.
    bool isAppeared() const {
        return _appearance == Appearance::Appeared || _appearance == Appearance::Appearing;
    }
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition(bool appearing, bool animated);
    void transitionAppearance(bool appearing, bool animated); // begin and end at once

signals:
    void titleChanged();

protected:
    void setView(QWidget* view);
    // The children that appear with this controller; a navigation controller gives its top.
    virtual QList<UIViewController*> appearingChildren() const;
    virtual void didMoveToParentViewController(UIViewController* parent);
    // The presentation used when this controller is presented in a style other than popover.
    virtual UIPresentationController* makePresentationController(UIViewController* presenting);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class UIPresentationController;
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    void setParentViewController(UIViewController* parent);
    UIPresentationController* preparePresentationController(UIViewController* presenting);

    QPointer<QWidget> _view;
    QString _title;
    UINavigationItem* _navigationItem = nullptr;
    QPointer<UIViewController> _parentViewController;
    QList<QPointer<UIViewController>> _children;
    Appearance _appearance = Appearance::Disappeared;
    bool _loading = false;
    UIModalPresentationStyle _modalPresentationStyle = UIModalPresentationStyle::FullScreen;
    QSize _preferredContentSize;
    UIPresentationController* _presentationController = nullptr; // as the presented one
    QPointer<UIViewController> _presented;
    QPointer<UIViewController> _presenting;
};
