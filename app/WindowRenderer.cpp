#include "WindowRenderer.h"

#include "RenderAnimationDriver.h"

#include <QAbstractEventDispatcher>
#include <QDebug>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

bool WindowRenderer::renderNow(QWidget* window, const QString& path, QString* error) {
    QImageWriter writer(path, "png");
    // Qt maps 0..100 onto zlib's levels 0..9: 11 is level 1, the fastest that compresses. A
    // render is written once and looked at; the default level costs twice the time for a file
    // about a tenth smaller.
    writer.setCompression(11);
    window->setUpdatesEnabled(true);
    if (!writer.write(window->grab().toImage())) {
        *error = QStringLiteral("could not write %1: %2").arg(path, writer.errorString());
        return false;
    }
    return true;
}

bool WindowRenderer::settle(RenderAnimationDriver* driver) {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kSettleBoundMilliseconds) {
        // Whatever is pending runs first: layouts, cells, posted calls, animation starts.
        if (dispatcher->processEvents(QEventLoop::AllEvents))
            continue;
        if (!driver->isRunning())
            return true;
        driver->advanceFrame();
    }
    qWarning().noquote() << "Settings: still moving after" << kSettleBoundMilliseconds
                         << "ms; rendered as it is";
    return false;
}

void WindowRenderer::renderWhenSettled(QWidget* window, const QString& path,
                                       std::function<void()> prepare,
                                       std::function<void(bool, QString)> done) {
    // Installed at once, so that every animation from now on runs frame by frame.
    auto* driver = new RenderAnimationDriver(window);
    driver->install();
    // Nothing is painted until the render, which paints the settled window once.
    window->setUpdatesEnabled(false);
    QPointer<QWidget> guard(window);
    QTimer::singleShot(0, window, [guard, driver, path, prepare, done] {
        settle(driver);
        if (guard && prepare) {
            // What `prepare` changes (a scroll, say) may start animations of its own.
            prepare();
            settle(driver);
        }
        if (!guard) {
            done(false, QStringLiteral("the window went away before it was rendered"));
            return;
        }
        QString error;
        const bool ok = renderNow(guard, path, &error);
        done(ok, error);
    });
}
