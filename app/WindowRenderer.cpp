#include "WindowRenderer.h"

#include <QAbstractAnimation>
#include <QCoreApplication>
#include <QImageWriter>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
// Long enough for the table's height animations and a pushed controller's transition.
constexpr int kSettleMilliseconds = 600;
} // namespace

void WindowRenderer::finishAnimations(QWidget* window) {
    // A picture shows where things come to rest (a popover fully in, not half faded), however
    // long the wait before it was.
    for (QAbstractAnimation* animation : window->findChildren<QAbstractAnimation*>()) {
        if (animation->state() == QAbstractAnimation::Running && animation->totalDuration() >= 0)
            animation->setCurrentTime(animation->totalDuration());
    }
}

bool WindowRenderer::renderNow(QWidget* window, const QString& path, QString* error) {
    finishAnimations(window);
    // The first grab lays out and paints once, which makes the cells the visible rows need;
    // the second shows them.
    window->grab();
    QCoreApplication::processEvents();
    const QPixmap pixmap = window->grab();
    QImageWriter writer(path, "png");
    if (!writer.write(pixmap.toImage())) {
        *error = QStringLiteral("could not write %1: %2").arg(path, writer.errorString());
        return false;
    }
    return true;
}

void WindowRenderer::renderWhenSettled(QWidget* window, const QString& path,
                                       std::function<void()> prepare,
                                       std::function<void(bool, QString)> done) {
    QPointer<QWidget> guard(window);
    QTimer::singleShot(kSettleMilliseconds, window, [guard, path, prepare, done] {
        if (!guard) {
            done(false, QStringLiteral("the window went away before it was rendered"));
            return;
        }
        if (prepare) {
            // What `prepare` changes (a scroll, say) may start animations of its own.
            prepare();
            QTimer::singleShot(kSettleMilliseconds, guard, [guard, path, done] {
                QString error;
                const bool ok = guard && renderNow(guard, path, &error);
                done(ok, error);
            });
            return;
        }
        QString error;
        const bool ok = renderNow(guard, path, &error);
        done(ok, error);
    });
}
