#pragma once

#include <QWidget>

// The rounded section the entries sit in, in the grouped list's cell colour of the appearance.
class EntrySection : public QWidget {
    Q_OBJECT
public:
    explicit EntrySection(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
