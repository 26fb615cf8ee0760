#include "QEVColorPickerCellTestSupport.h"

#include <QImage>
#include <QPainter>
#include <array>
#include <cmath>

namespace {

// The ring's stops in order, from the bottom-right corner clockwise.
const std::array<QColor, 9> kStops = {
    QColor(255, 255, 0), QColor(0, 255, 0),   QColor(0, 255, 255),
    QColor(0, 0, 255),   QColor(128, 0, 128), QColor(255, 0, 255),
    QColor(255, 0, 0),   QColor(255, 128, 0), QColor(255, 255, 0),
};

// The ring's colour in a direction given clockwise on screen from 3 o'clock, in degrees: the
// first stop lies toward the bottom-right corner (45 degrees) and the stops are evenly spaced.
QColor ringColorAt(double degrees) {
    double p = std::fmod(degrees - 45.0, 360.0) / 360.0;
    if (p < 0)
        p += 1.0;
    const double scaled = p * 8.0;
    const int k = std::min(7, int(scaled));
    const double t = scaled - k;
    const QColor& a = kStops[size_t(k)];
    const QColor& b = kStops[size_t(k + 1)];
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QImage grabAt(QEVColorIndicatorView& view, int scale) {
    if (scale == 1)
        return view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QImage image(view.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.convertToFormat(QImage::Format_ARGB32);
}

// A pixel's distances from the indicator's centre, nearest and farthest corner, in points.
struct Reach {
    double nearest;
    double farthest;
};

Reach reachOf(int x, int y, int scale) {
    const double c = 14.5 * scale;
    double lo = 1e9, hi = 0;
    for (int dx = 0; dx <= 1; ++dx) {
        for (int dy = 0; dy <= 1; ++dy) {
            const double d = std::hypot(x + dx - c, y + dy - c) / scale;
            lo = std::min(lo, d);
            hi = std::max(hi, d);
        }
    }
    return {lo, hi};
}

QColor pixel(const QImage& image, int x, int y) {
    return QColor::fromRgba(image.pixel(x, y));
}

QColor opaque(QColor c) {
    c.setAlpha(255);
    return c;
}

class IndicatorPixelTest : public testing::TestWithParam<int> {
protected:
    QEVColorIndicatorView view;
    int scale() const { return GetParam(); }
};

// The named stops, each sampled on its own direction in the middle of the band.
TEST_P(IndicatorPixelTest, StopsLieInTheirDirections) {
    const QImage image = grabAt(view, scale());
    ASSERT_EQ(image.size(), QSize(29, 29) * scale());
    const struct {
        const char* name;
        double degrees; // clockwise on screen from 3 o'clock
        QColor color;
    } stops[] = {
        {"yellow", 45, Qt::yellow},
        {"green", 90, Qt::green},
        {"cyan", 135, Qt::cyan},
        {"blue", 180, Qt::blue},
        {"purple", 225, QColor(128, 0, 128)},
        {"magenta", 270, Qt::magenta},
        {"red", 315, Qt::red},
        {"orange", 0, QColor(255, 128, 0)},
    };
    for (const auto& stop : stops) {
        const double r = 13.5 * scale();
        const double a = stop.degrees * M_PI / 180.0;
        const int x = int(std::floor(14.5 * scale() + r * std::cos(a)));
        const int y = int(std::floor(14.5 * scale() + r * std::sin(a)));
        const QColor seen = pixel(image, x, y);
        EXPECT_GT(seen.alpha(), 100) << stop.name;
        EXPECT_TRUE(colorNear(opaque(seen), stop.color, 6)) << stop.name << " at " << x << "," << y;
    }
}

// Every pixel of the band, around the whole circle, has the colour of its direction: the
// sweep runs clockwise with no seam.
TEST_P(IndicatorPixelTest, BandFollowsTheClockwiseSweep) {
    const QImage image = grabAt(view, scale());
    const double c = 14.5 * scale();
    int checked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Reach reach = reachOf(x, y, scale());
            if (reach.nearest < 12.5 || reach.farthest > 14.5)
                continue;
            const double degrees = std::atan2(y + 0.5 - c, x + 0.5 - c) * 180.0 / M_PI;
            const QColor seen = pixel(image, x, y);
            ASSERT_GE(seen.alpha(), 250) << x << "," << y;
            ASSERT_TRUE(colorNear(opaque(seen), ringColorAt(degrees), 8))
                << x << "," << y << " at " << degrees << " degrees";
            ++checked;
        }
    }
    EXPECT_GT(checked, 40 * scale());
}

// Outside the ring and in the gap between ring and swatch nothing is painted; inside the swatch
// its colour, opacity included.
TEST_P(IndicatorPixelTest, GapIsClearAndSwatchHasItsColour) {
    const QColor fills[] = {QColor(52, 199, 89), QColor(255, 0, 0, 128), QColor(0, 0, 0, 0)};
    for (const QColor& fill : fills) {
        view.swatch()->setFillColor(fill);
        const QImage image = grabAt(view, scale());
        int gap = 0, swatch = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const Reach reach = reachOf(x, y, scale());
                const QColor seen = pixel(image, x, y);
                const bool inGap = reach.nearest >= 10.5 && reach.farthest <= 12.5;
                const bool outside = reach.nearest >= 14.5;
                if (inGap || outside) {
                    // The rasteriser may leave a trace of coverage next to an edge.
                    ASSERT_LE(seen.alpha(), 2) << x << "," << y;
                    gap += inGap;
                } else if (reach.farthest <= 10.5) {
                    ASSERT_TRUE(colorNear(seen.alpha() ? seen : QColor(0, 0, 0, 0), fill, 2))
                        << x << "," << y;
                    ++swatch;
                }
            }
        }
        EXPECT_GT(gap, 20 * scale());
        EXPECT_GT(swatch, 250 * scale() * scale());
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, IndicatorPixelTest, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Scale" + std::to_string(info.param);
                         });

} // namespace
