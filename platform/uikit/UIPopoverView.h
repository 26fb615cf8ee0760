#pragma once

#include "uikit/UIColor.h"
#include "uikit/UIKitDefines.h"

#include <QColor>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

// The popover's bubble: a rounded body (radius 13) with an arrow (13 high) on one side and a
// soft shadow around both, filled with the popover's background colour. The content view
// fills the body and is clipped to its corners.
class UIPopoverView : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal kCornerRadius = 13;
    static constexpr int kArrowHeight = 13;
    static constexpr int kArrowBase = 36;
    static constexpr int kShadowMargin = 18;

    explicit UIPopoverView(QWidget* parent = nullptr);

    void setContent(QWidget* content);
    QWidget* content() const { return _content; }
    void setBackgroundColor(const UIColor& color); // resolved as the bubble is drawn
    UIColor backgroundColor() const { return _background; }

    // Places the bubble: `body` is the content's rectangle and `arrowTip` the point the arrow
    // touches, both in the parent's coordinates; direction Unknown draws no arrow.
    void place(const QRect& body, UIPopoverArrowDirection direction, QPoint arrowTip);
    UIPopoverArrowDirection arrowDirection() const { return _direction; }
    QRect bodyGeometry() const; // in the parent's coordinates
    QPoint arrowTip() const;    // in the parent's coordinates

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPainterPath bubblePath() const;

    QPointer<QWidget> _content;
    UIColor _background = UIColor::systemBackgroundColor();
    UIPopoverArrowDirection _direction = UIPopoverArrowDirectionUnknown;
    QRect _body; // in own coordinates
    QPoint _tip; // in own coordinates
};
