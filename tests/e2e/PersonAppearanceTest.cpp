// Light and dark as drawn: every text measured against its background in each appearance, and
// the desktop switching while the pane is open.
#include "SettingsScreen.h"

#include "common/FakePortal.h"

#include <QHash>
#include <cmath>
#include <cstdio>

namespace {

double luminance(QRgb rgb) {
    const auto channel = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

// The area's commonest colour (its background), and the contrast against it of the pixel that
// stands out most (a glyph's fully covered pixels).
std::pair<QRgb, double> measured(const QImage& shot, const QRect& area) {
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[shot.pixel(x, y) | 0xff000000u];
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            std::tie(background, most) = std::pair(it.key(), it.value());
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, (std::max(luminance(it.key()), luminance(background)) + 0.05) /
                                  (std::min(luminance(it.key()), luminance(background)) + 0.05));
    return {background, best};
}

// Where the text `name` is drawn in the window, opening what shows it.
QRect textArea(SettingsScreen& s, const QByteArray& name) {
    const bool colour = name == "colour_value" || name == "picker_label";
    PSTableCell* row = s.row(colour ? QStringLiteral("高亮颜色") : QStringLiteral("启用播放器"));
    QWidget* text = nullptr;
    if (name == "section_header") {
        const QRect header = s.table()->rectForHeaderInSection(0).translated(
            0, -qRound(s.table()->contentOffset().y()));
        return QRect(s.table()->viewport()->mapTo(s.window(), header.topLeft()), header.size());
    }
    if (name == "row_title")
        text = s.labelled<QLabel>(row, QStringLiteral("启用播放器"));
    else if (name == "colour_value")
        text = row->detailTextLabel();
    else if (row) {
        s.tap(colour ? row : s.widgetOfClass(row, "UIInfoButton"));
        EXPECT_TRUE(s.settle()); // whatever opens has finished appearing
        QWidget* layer = s.presented();
        QWidget* box =
            layer ? s.widgetOfClass(layer, colour ? "QColorDialog" : "UIAlertView") : nullptr;
        text = box ? s.first<QLabel>(box) : nullptr;
    }
    return text ? QRect(text->mapTo(s.window(), QPoint()), text->size()) : QRect();
}

using ContrastCase = std::tuple<const char*, const char*>;

class Contrast : public testing::TestWithParam<ContrastCase> {};

// Each text reaches 4.5:1 against its background, and that background is dark in the dark
// appearance and light in the light one.
TEST_P(Contrast, TextStandsOutFromABackgroundOfItsAppearance) {
    const auto& [appearance, element] = GetParam();
    SettingsScreen screen({.arguments = {"--appearance", appearance}});
    const QRect area = textArea(screen, element);
    ASSERT_TRUE(!area.isEmpty() && screen.window()->rect().contains(area)) << "not wholly in view";
    const auto [background, contrast] = measured(screen.shot(), area);
    std::printf("contrast %-5s %-20s %5.2f:1 on %s\n", appearance, element, contrast,
                qPrintable(QColor(background).name()));
    EXPECT_GE(contrast, 4.5);
    if (QByteArray(appearance) == "dark")
        EXPECT_LT(luminance(background), 0.1) << "drawn light in the dark appearance";
    else
        EXPECT_GT(luminance(background), 0.6) << "drawn dark in the light appearance";
}

INSTANTIATE_TEST_SUITE_P(Texts, Contrast,
                         testing::Combine(testing::Values("light", "dark"),
                                          testing::Values("row_title", "colour_value",
                                                          "section_header", "alert_title",
                                                          "picker_label")),
                         [](const auto& info) {
                             return testName(std::string(std::get<0>(info.param)) + "_" +
                                             std::get<1>(info.param));
                         });

// ---- the desktop switches while the pane is open -------------------------------------------

// Everything shown is drawn again in the new appearance at once, there and back: the rows,
// their text and the bar; the scroll and the focus stay.
TEST(PersonAppearance, ADesktopSwitchRedrawsAtOnceAndKeepsScrollAndFocus) {
    FakePortal portal(0u);
    ASSERT_TRUE(portal.registered());
    SettingsScreen screen;
    PSTableCell* row = screen.row(QStringLiteral("显示歌词"));
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(screen.tabTo(screen.first<UISwitch>(row)));
    QWidget* focus = QApplication::focusWidget();
    const QPointF offset = screen.table()->contentOffset();
    QWidget* bar = screen.widgetOfClass(screen.window(), "UINavigationBar");
    QLabel* title = screen.labelled<QLabel>(row, QStringLiteral("显示歌词"));
    ASSERT_TRUE(bar && title);
    for (const bool toDark : {true, false}) {
        SCOPED_TRACE(toDark ? "to dark" : "back to light");
        portal.change(toDark ? 1u : 2u);
        const auto style = UITraitCollection::userInterfaceStyleOfApplication;
        ASSERT_TRUE(eventually([&] { return (style() == UIUserInterfaceStyle::Dark) == toDark; },
                               "the desktop's change was heard"));
        EXPECT_EQ(screen.pixel(row, QPoint(6, row->height() / 2)),
                  toDark ? QColor(28, 28, 30) : QColor(Qt::white));
        const QRect text(title->mapTo(screen.window(), QPoint()), title->size());
        EXPECT_GT(measured(screen.shot(), text).second, 4.5);
        EXPECT_EQ(qGray(screen.pixel(bar, QPoint(bar->width() / 4, 3)).rgb()) < 40, toDark);
        EXPECT_EQ(screen.table()->contentOffset(), offset);
        EXPECT_EQ(QApplication::focusWidget(), focus);
    }
}

} // namespace
