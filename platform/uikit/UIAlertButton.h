#pragma once

#include "uikit/UIAlertAction.h"
#include "uikit/UITintObserver.h"

#include <QAbstractButton>

// An alert's button: its action's title, 17 points, in the tint (bold for cancel, red for
// destructive), greyed while pressed.
class UIAlertButton : public QAbstractButton, public UITintObserver {
    Q_OBJECT
public:
    static constexpr int kHeight = 44;

    UIAlertButton(UIAlertAction* action, QWidget* parent = nullptr);
    UIAlertAction* action() const { return _action; }
    QColor textColor() const;
    QSize sizeHint() const override;
    void tintColorDidChange() override { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    UIAlertAction* _action;
};
