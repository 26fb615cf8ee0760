#pragma once

#include <QGraphicsEffect>

// How presented content looks while it comes in: faded to `opacity` and scaled by `scale`
// about its centre. It only changes how the content is drawn; the content keeps its place, its
// keyboard focus and its input throughout.
class PresentationEffect : public QGraphicsEffect {
    Q_OBJECT
public:
    explicit PresentationEffect(QObject* parent = nullptr);

    void setProgress(qreal opacity, qreal scale);
    qreal opacity() const { return _opacity; }
    qreal scale() const { return _scale; }

protected:
    QRectF boundingRectFor(const QRectF& rect) const override;
    void draw(QPainter* painter) override;

private:
    qreal _opacity = 1;
    qreal _scale = 1;
};
