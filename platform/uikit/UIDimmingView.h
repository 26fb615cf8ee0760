#pragma once

#include "uikit/UIColor.h"

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QWidget>

// The layer a presentation puts over the presenting window: it dims (or blanks) what lies
// below, takes every click that misses the presented content, keeps the keyboard (Tab and
// Shift+Tab go round the presented content's own controls, never to what lies below; Escape that
// no control took is the layer's) and can draw the card the content sits on.
class UIDimmingView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal level READ level WRITE setLevel)
public:
    explicit UIDimmingView(QWidget* window);

    void setDimmingColor(const UIColor& color);
    void setContentRect(const QRect& rect) { _contentRect = rect; }
    void setCard(const QRect& rect, qreal radius, const UIColor& color);
    // A picture drawn over the layer in place of its content, at the layer's level.
    void setSnapshot(const QPixmap& snapshot);
    // How far the dimming and the card are shown, 0 to 1; fades animate it.
    qreal level() const { return _level; }
    void setLevel(qreal level);

signals:
    void tappedOutside();
    void escapePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    UIColor _dimming = QColor(Qt::transparent);
    QRect _contentRect;
    QRect _card;
    qreal _cardRadius = 0;
    UIColor _cardColor;
    qreal _level = 1.0;
    QPixmap _snapshot;
};
