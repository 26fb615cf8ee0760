#pragma once

#include "uikit/UITintObserver.h"

#include <QAbstractButton>

// The navigation bar's back button: a chevron and the previous title, drawn in the tint.
class UIBackButton : public QAbstractButton, public UITintObserver {
    Q_OBJECT
public:
    explicit UIBackButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    void tintColorDidChange() override { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
