#pragma once

#include "uikit/UIGestureRecognizer.h"

#include <QElapsedTimer>
#include <QPoint>
#include <functional>

// Recognises the required number of taps (press and release inside the view, close
// together) and then calls its action once, in state Ended.
class UITapGestureRecognizer : public UIGestureRecognizer {
    Q_OBJECT
public:
    using Action = std::function<void(UITapGestureRecognizer*)>;
    static constexpr int kMultiTapIntervalMs = 350;

    explicit UITapGestureRecognizer(Action action);
    void setNumberOfTapsRequired(int taps) { _tapsRequired = qMax(1, taps); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reset() override;

private:
    Action _action;
    int _tapsRequired = 1;
    int _taps = 0;
    bool _pressed = false;
    QPoint _pressPosition;
    QElapsedTimer _sinceLastTap;
};
