#pragma once

#include "uikit/UIColor.h"
#include "uikit/UIFocusRingShape.h"
#include "uikit/UITintObserver.h"

#include <QAbstractButton>

// The platform's info button (button type "info dark"): a circle 22 across with an "i",
// drawn in the button's tint colour. It keeps that size wherever it is placed; a click
// (press and release inside) is its touch-up-inside; so is Space or Enter while it has the focus.
class UIInfoButton : public QAbstractButton, public UITintObserver, public UIFocusRingShape {
    Q_OBJECT
public:
    static constexpr int UIButtonTypeInfoDark = 4;
    static constexpr int kDiameter = 22;

    explicit UIInfoButton(QWidget* parent = nullptr);

    int buttonType() const { return UIButtonTypeInfoDark; }
    QColor tintColor() const;
    void setTintColor(const UIColor& color); // invalid = inherit again
    void tintColorDidChange() override;

    QSize sizeHint() const override { return QSize(kDiameter, kDiameter); }
    QSize minimumSizeHint() const override { return sizeHint(); }
    QRectF focusRingRect() const override;
    qreal focusRingRadius() const override { return focusRingRect().width() / 2; }

protected:
    void paintEvent(QPaintEvent* event) override;
};
