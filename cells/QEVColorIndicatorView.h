#pragma once

#include <QColor>
#include <QConicalGradient>
#include <QPainterPath>
#include <QWidget>
#include <functional>

class QEVColorSwatch;
class QVariantAnimation;

// A colour row's accessory: a 29-point circle whose rim is a rainbow ring 2 points wide, then a
// transparent gap of 2 points, then a swatch filled with the row's colour. The background stays
// transparent so the cell's section shows through the gap.
class QEVColorIndicatorView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSize = 29;
    static constexpr qreal kRingWidth = 2;

    explicit QEVColorIndicatorView(QWidget* parent = nullptr);

    QEVColorSwatch* swatch() const { return _swatch; }

    // Runs `change`, then fades the swatch from what it showed before to its new fill over
    // `durationMs`. The swatch's fill is the new one at once; only the painting lags.
    void transition(int durationMs, const std::function<void()>& change);
    QVariantAnimation* transitionAnimation() const { return _transition; }
    // The colour painted in the swatch now: its fill, or a blend while a transition runs.
    QColor displayedSwatchColor() const;

    // The ring: the band between the oval of the bounds and the oval inset by the ring width.
    static QPainterPath ringPath();
    // The ring's conic gradient: yellow toward the bottom-right corner, sweeping clockwise
    // through green, cyan, blue, purple, magenta, red and orange back to yellow.
    static QConicalGradient ringGradient();

    QSize sizeHint() const override { return QSize(kSize, kSize); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void swatchChanged();

    QEVColorSwatch* _swatch;
    QVariantAnimation* _transition = nullptr;
    QColor _transitionFrom;
    bool _changing = false;
};
