#pragma once

#include "uikit/UIPopoverPresentationControllerDelegate.h"
#include "uikit/UIPopoverView.h"
#include "uikit/UIPresentationController.h"

#include <QColor>
#include <QPointer>
#include <QRect>

class QWidget;

// Presents a controller as a popover: a bubble anchored to a bar button item's view or to a
// rectangle of a source view, its arrow on one of the permitted sides, dismissed by a tap
// outside it. It follows its anchor wherever the window's layout moves it. On a narrow
// (compact) window it becomes a sheet, unless the delegate answers None. The popover itself
// plays no sound and starts no animation of its own beyond a fade.
class UIPopoverPresentationController : public UIPresentationController {
    Q_OBJECT
public:
    static constexpr int kCompactWidth = 600; // narrower windows are compact
    static constexpr int kScreenMargin = 8;

    explicit UIPopoverPresentationController(UIViewController* presented);

    void setDelegate(UIPopoverPresentationControllerDelegate* delegate);
    UIPopoverPresentationControllerDelegate* delegate() const;
    void setPermittedArrowDirections(int directions) { _permitted = directions; }
    int permittedArrowDirections() const { return _permitted; }
    void setBarButtonItem(UIBarButtonItem* item);
    UIBarButtonItem* barButtonItem() const;
    void setSourceView(QWidget* view);
    QWidget* sourceView() const;
    void setSourceRect(QRect rect) { _sourceRect = rect; }
    QRect sourceRect() const { return _sourceRect; }
    void setBackgroundColor(const UIColor& color);
    UIColor backgroundColor() const { return _backgroundColor; }

    // The side the arrow was drawn on in the current presentation.
    UIPopoverArrowDirection arrowDirection() const;
    // The bubble while presented as a popover, else nullptr.
    UIPopoverView* popupWidget() const { return _popup; }
    bool isPresentedAsPopover() const { return _popup != nullptr; }

protected:
    void prepareContainer() override;
    void layoutContainer() override;
    bool dismissesOnOutsideTap() const override { return true; }
    bool appearsScaled() const override { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool staysPopover(QWidget* window);
    QRect anchorRect() const; // in the container's coordinates
    QWidget* anchorView() const;
    void watchAnchor(); // the anchor and the views it sits in, up to the window

    UIPopoverPresentationControllerDelegate* _delegate = nullptr;
    QPointer<QObject> _delegateObject; // set when the delegate is a QObject, to see it go
    int _permitted = UIPopoverArrowDirectionAny;
    QPointer<UIBarButtonItem> _barButtonItem;
    QPointer<QWidget> _sourceView;
    QRect _sourceRect;
    UIColor _backgroundColor = UIColor::systemBackgroundColor();
    QPointer<UIPopoverView> _popup;
    QList<QPointer<QWidget>> _watched;
};
