#pragma once

#include "uikit/UIFocusRingShape.h"
#include "uikit/UIPressable.h"

#include <QLabel>

// A label whose digits all take one width, as a font's tabular figures would: each digit sits
// centred in a slot as wide as the font's widest digit, so a changing number does not shift
// sideways. Other characters keep their own advance. Text that does not fit is cut at its end
// with an ellipsis rather than widening the label.
//
// It can be pressed like a button (a slider row's read-out opens a typed entry): by Enter,
// Return or Space while it has the focus, or by an assistive technology; pressed() says so.
class QEVValueLabel : public QLabel, public UIPressable, public UIFocusRingShape {
    Q_OBJECT
public:
    explicit QEVValueLabel(QWidget* parent = nullptr);

    // The width `text` takes when drawn by this label in its current font.
    qreal tabularWidth(const QString& text) const;
    // The text as drawn in the current width.
    QString shownText() const;

    QColor textColor() const;
    void setTextColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    void press() override { emit pressed(); }
    QString pressableValue() const override { return text(); }
    // Round the text, not the whole strip that takes the taps.
    QRectF focusRingRect() const override;
    qreal focusRingRadius() const override { return 4; }

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    qreal digitSlot() const;
    qreal advance(QChar c) const;
};
