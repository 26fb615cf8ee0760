#pragma once

#include "uikit/UIDimmingView.h"
#include "uikit/UIKitDefines.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>

class QWidget;

// Shows a presented controller's view over the presenting controller's window, window-modal
// and without a nested event loop. State changes at once; an animated presentation or
// dismissal only changes how the layer is drawn meanwhile: it fades in (an alert also shrinks
// from a little larger to its size) with the content live from the start, and fades out as a
// picture that takes no input. A new request cuts a running one short: a dismissal fades out
// from where an appearance got to, a presentation removes a layer still fading out at once.
class UIPresentationController : public QObject {
    Q_OBJECT
public:
    enum class Layout {
        FullScreen, // fills the window, the presenter disappears
        Sheet,      // a card from near the top over a dimmed window
        Centered,   // at its own size in the middle of a dimmed window (alerts)
    };

    UIPresentationController(UIViewController* presented, UIViewController* presenting,
                             Layout layout);
    ~UIPresentationController() override;

    UIViewController* presentedViewController() const { return _presented; }
    UIViewController* presentingViewController() const { return _presenting; }
    void setPresentingViewController(UIViewController* presenting) { _presenting = presenting; }
    Layout layout() const { return _layout; }
    UIDimmingView* containerView() const { return _container; }

    void present(bool animated);
    void dismiss(bool animated);
    void tearDown(); // removes the layer at once, leaving the presented view unparented

    static constexpr int kAppearMilliseconds = 250;      // popovers and sheets
    static constexpr int kAlertAppearMilliseconds = 400; // alerts, as they grow into place
    static constexpr qreal kAlertStartScale = 1.2;
    static constexpr int kFadeMilliseconds = 200; // every dismissal

protected:
    void setLayout(Layout layout) { _layout = layout; }
    // Places the presented content in the container; called again on every window resize.
    virtual void layoutContainer();
    virtual void prepareContainer();
    virtual bool dismissesOnOutsideTap() const { return false; }
    // Alerts come in scaled; the rest only fade.
    virtual bool appearsScaled() const { return _layout == Layout::Centered; }
    QWidget* presentedView() const;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> layerContent() const;
    void animateIn();
    void animateOut();
    QPixmap contentSnapshot() const;
    void clearEffects();
    void detachPresentedView();
    void takeFocus();
    void giveFocusBack();
    UIViewController* appearanceRoot() const;

    QPointer<UIViewController> _presented;
    QPointer<UIViewController> _presenting;
    QPointer<QWidget> _window;
    QPointer<UIDimmingView> _container;
    QPointer<QWidget> _focusBefore; // what had the keyboard before the presentation
    Layout _layout;
    bool _presentedNow = false;
};
