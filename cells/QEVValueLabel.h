#pragma once

#include <QLabel>

// A label whose digits all take one width, as a font's tabular figures would: each digit sits
// centred in a slot as wide as the font's widest digit, so a changing number does not shift
// sideways. Other characters keep their own advance. Text that does not fit is cut at its end
// with an ellipsis rather than widening the label.
class QEVValueLabel : public QLabel {
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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal digitSlot() const;
    qreal advance(QChar c) const;
};
