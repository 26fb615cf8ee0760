#include "cells/QEVCrossDissolve.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

namespace {

const char* const kAnimationName = "QEVCrossDissolve";

QVariantAnimation* runningAnimation(QWidget* view) {
    return view ? view->findChild<QVariantAnimation*>(QLatin1String(kAnimationName),
                                                      Qt::FindDirectChildrenOnly)
                : nullptr;
}

QLabel* makeSnapshot(QWidget* view) {
    auto* snapshot = new QLabel(view->parentWidget());
    snapshot->setPixmap(view->grab());
    snapshot->setGeometry(view->geometry());
    snapshot->setAttribute(Qt::WA_TransparentForMouseEvents);
    snapshot->setAttribute(Qt::WA_TranslucentBackground);
    snapshot->show();
    snapshot->raise();
    return snapshot;
}

} // namespace

void QEVCrossDissolve::transition(QWidget* view, int durationMs,
                                  const std::function<void()>& change) {
    finish(view);
    // Nothing on screen to dissolve from: just change.
    if (!view || durationMs <= 0 || !view->isVisible() || !view->parentWidget()) {
        change();
        return;
    }
    QPointer<QLabel> snapshot = makeSnapshot(view);
    change();
    auto* snapshotFade = new QGraphicsOpacityEffect(snapshot);
    snapshot->setGraphicsEffect(snapshotFade);
    auto* viewFade = new QGraphicsOpacityEffect(view);
    viewFade->setOpacity(0);
    view->setGraphicsEffect(viewFade);

    auto* animation = new QVariantAnimation(view);
    animation->setObjectName(QLatin1String(kAnimationName));
    animation->setDuration(durationMs);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    QPointer<QWidget> target = view;
    QPointer<QGraphicsOpacityEffect> in = viewFade;
    QPointer<QGraphicsOpacityEffect> out = snapshotFade;
    QObject::connect(animation, &QVariantAnimation::valueChanged, view,
                     [in, out](const QVariant& value) {
                         if (in)
                             in->setOpacity(value.toReal());
                         if (out)
                             out->setOpacity(1.0 - value.toReal());
                     });
    QObject::connect(animation, &QVariantAnimation::finished, view,
                     [animation, snapshot, target, in] {
                         animation->setObjectName(QString());
                         delete snapshot.data();
                         if (target && in && target->graphicsEffect() == in)
                             target->setGraphicsEffect(nullptr);
                         animation->deleteLater();
                     });
    animation->start();
}

bool QEVCrossDissolve::finish(QWidget* view) {
    QVariantAnimation* animation = runningAnimation(view);
    if (!animation || animation->state() != QAbstractAnimation::Running)
        return false;
    // Jumping to the end emits finished(), which removes the snapshot and the fade.
    animation->setCurrentTime(animation->duration());
    return true;
}

bool QEVCrossDissolve::isRunning(QWidget* view) {
    QVariantAnimation* animation = runningAnimation(view);
    return animation && animation->state() == QAbstractAnimation::Running;
}
