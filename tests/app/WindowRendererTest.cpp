#include "WindowRenderer.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

namespace {

// A render shows the window once nothing moves: an animation running when the render is
// asked for is played to its end, and what its end posts has run.
TEST(WindowRenderer, RendersOnceNothingMoves) {
    QWidget window;
    window.resize(40, 40);
    window.setAutoFillBackground(true);
    const auto fill = [&window](const QColor& color) {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, color);
        window.setPalette(palette);
    };
    fill(Qt::red);
    window.show();
    QVariantAnimation animation;
    animation.setDuration(1000);
    animation.setStartValue(QColor(Qt::red));
    animation.setEndValue(QColor(Qt::blue));
    QObject::connect(&animation, &QVariantAnimation::valueChanged, &window,
                     [&fill](const QVariant& value) { fill(value.value<QColor>()); });
    QObject::connect(&animation, &QVariantAnimation::finished, &window,
                     [&] { QTimer::singleShot(0, &window, [&fill] { fill(Qt::green); }); });
    animation.start();

    QTemporaryDir dir;
    const QString path = dir.filePath("window.png");
    std::optional<bool> rendered;
    WindowRenderer::renderWhenSettled(&window, path, nullptr,
                                      [&rendered](bool ok, const QString&) { rendered = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&rendered] { return rendered.has_value(); }, 30000));
    EXPECT_TRUE(*rendered);
    EXPECT_EQ(QImage(path).pixelColor(20, 20).name(), QColor(Qt::green).name());
}

} // namespace
