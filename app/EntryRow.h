#pragma once

#include <QAbstractButton>
#include <QPixmap>

// One row of the Settings list: icon, label and a disclosure chevron, drawn like the device's
// own settings rows.
class EntryRow : public QAbstractButton {
    Q_OBJECT
public:
    EntryRow(const QString& label, const QPixmap& icon, bool lastInSection,
             QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintIcon(QPainter& painter, const QRectF& rect) const;
    void paintChevron(QPainter& painter) const;

    QPixmap _icon;
    bool _lastInSection;
};
