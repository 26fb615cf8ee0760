#pragma once

#include <QColor>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QGraphicsOpacityEffect;
class QLabel;
class QPropertyAnimation;

// A short message over the window, for what a person should know but need not answer (a
// setting that could not be saved): a rounded plate in the pane's dark colour with white text.
// It stands at the foot of `area`, or at its head when the foot would hide the view it is
// about. It lets every click through to what lies below, never takes the keyboard focus and
// goes by itself after a few seconds; a new message replaces the one shown.
class PaneToast : public QWidget {
    Q_OBJECT
public:
    PaneToast(QWidget* parent, const QColor& background);

    void showMessage(const QString& title, const QString& detail, QWidget* area,
                     QWidget* about = nullptr);

    static constexpr int kShownMilliseconds = 4000;
    static constexpr int kFadeMilliseconds = 250;
    static constexpr int kMargin = 16;
    static constexpr int kInset = 24; // from the foot or head of the area
    static constexpr qreal kCornerRadius = 13;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void place();
    void fadeOut();

    QColor _background;
    QPointer<QWidget> _area;
    QPointer<QWidget> _about;
    QLabel* _title;
    QLabel* _detail;
    QGraphicsOpacityEffect* _opacity;
    QPropertyAnimation* _fade;
    QTimer _shown;
};
