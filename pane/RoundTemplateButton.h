#pragma once

#include "uikit/UIFocusRingShape.h"
#include "uikit/UITintObserver.h"

#include <QAbstractButton>
#include <QColor>
#include <QImage>

// A round button: a circle filled with its background colour (a square button's corner radius
// of half its height, masked to its bounds) with a template image on it. A template image
// counts only by its alpha: it is drawn in the button's tint colour. Without an image the
// button is a plain circle. Tab reaches it; Space or Enter presses it.
class RoundTemplateButton : public QAbstractButton, public UITintObserver, public UIFocusRingShape {
    Q_OBJECT
public:
    explicit RoundTemplateButton(QWidget* parent = nullptr);

    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return _background; }
    void setTemplateImage(const QImage& image);
    QImage templateImage() const { return _template; }
    QColor tintColor() const;

    // The template filled with `color`, its alpha kept.
    static QImage tinted(const QImage& image, const QColor& color);

    QSize sizeHint() const override;
    void tintColorDidChange() override;
    QRectF focusRingRect() const override { return QRectF(rect()); }
    qreal focusRingRadius() const override { return height() / 2.0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QColor _background;
    QImage _template;
};
