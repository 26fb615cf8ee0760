#pragma once

#include <QImage>
#include <QWidget>

// An image view that scales its image to fit its bounds, keeping the aspect ratio, centred
// (the device's "scale aspect fit"). With no image it draws nothing. Its size hint is the
// image's own size in logical pixels, as an image view's intrinsic size is.
class AspectFitImageView : public QWidget {
    Q_OBJECT
public:
    explicit AspectFitImageView(const QImage& image = QImage(), QWidget* parent = nullptr);

    QImage image() const { return _image; }
    void setImage(const QImage& image);

    // Where the image is drawn, in the view's coordinates; empty without an image.
    QRectF imageRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage _image;
    QImage _scaled; // the image at the device pixels it was last drawn at
};
