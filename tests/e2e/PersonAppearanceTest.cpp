// Light and dark as drawn: every text measured against its background in each appearance, and
// the desktop switching while the pane is open.
#include "SettingsScreen.h"

#include "common/FakePortal.h"
#include "common/TestName.h"

#include "preferences/PSTableCell.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"
#include "uikit/UITraitCollection.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
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

double ratio(QRgb a, QRgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
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
        best = std::max(best, ratio(it.key(), background));
    return {background, best};
}

QRect inWindow(SettingsScreen& s, QWidget* w, std::optional<QRect> part = {}) {
    if (!w)
        return QRect();
    const QRect r = part.value_or(w->rect());
    return QRect(w->mapTo(s.window(), r.topLeft()), r.size());
}

QLabel* titleOf(SettingsScreen& s, const char* row) {
    PSTableCell* cell = s.row(QString::fromUtf8(row));
    return cell ? s.labelled<QLabel>(cell, QString::fromUtf8(row)) : nullptr;
}

QWidget* openedByTapping(SettingsScreen& s, QWidget* control) {
    if (!control)
        return nullptr;
    s.tap(control);
    EXPECT_TRUE(s.settle()); // whatever opens has finished appearing
    return s.presented();
}

struct Element {
    const char* name;
    std::function<QRect(SettingsScreen&)> area;
};

const Element kElements[] = {
    {"row_title", [](SettingsScreen& s) { return inWindow(s, titleOf(s, "启用播放器")); }},
    {"colour_value",
     [](SettingsScreen& s) {
         PSTableCell* row = s.row("高亮颜色");
         return inWindow(s, row ? row->detailTextLabel() : nullptr);
     }},
    {"section_header",
     [](SettingsScreen& s) {
         s.row("启用播放器");
         QRect header = s.table()->rectForHeaderInSection(0);
         header.translate(0, -qRound(s.table()->contentOffset().y()));
         return inWindow(s, s.table()->viewport(), header);
     }},
    {"alert_title",
     [](SettingsScreen& s) {
         PSTableCell* row = s.row("启用播放器");
         QWidget* layer = openedByTapping(s, row ? s.widgetOfClass(row, "UIInfoButton") : nullptr);
         QWidget* alert = layer ? s.widgetOfClass(layer, "UIAlertView") : nullptr;
         return inWindow(s, alert ? alert->findChildren<QLabel*>().value(0) : nullptr);
     }},
    {"picker_field_label",
     [](SettingsScreen& s) {
         QWidget* layer = openedByTapping(s, s.row("高亮颜色"));
         QWidget* dialog = layer ? s.widgetOfClass(layer, "QColorDialog") : nullptr;
         return inWindow(s, dialog ? s.first<QLabel>(dialog) : nullptr);
     }},
};

using ContrastCase = std::tuple<const char*, Element>;

class Contrast : public testing::TestWithParam<ContrastCase> {};

// Each text reaches 4.5:1 against its background, and that background is dark in the dark
// appearance and light in the light one.
TEST_P(Contrast, TextStandsOutFromABackgroundOfItsAppearance) {
    const auto& [appearance, element] = GetParam();
    SettingsScreen screen({.arguments = {"--appearance", appearance}});
    const QRect area = element.area(screen);
    ASSERT_FALSE(area.isEmpty()) << "not found on screen";
    ASSERT_TRUE(screen.window()->rect().contains(area)) << "not wholly in view";
    const auto [background, contrast] = measured(screen.shot(), area);
    std::printf("contrast %-5s %-20s %5.2f:1 on %s\n", appearance, element.name, contrast,
                qPrintable(QColor(background).name()));
    EXPECT_GE(contrast, 4.5);
    if (QByteArray(appearance) == "dark")
        EXPECT_LT(luminance(background), 0.1) << "drawn light in the dark appearance";
    else
        EXPECT_GT(luminance(background), 0.6) << "drawn dark in the light appearance";
}

INSTANTIATE_TEST_SUITE_P(Elements, Contrast,
                         testing::Combine(testing::Values("light", "dark"),
                                          testing::ValuesIn(kElements)),
                         [](const auto& info) {
                             return testName(std::string(std::get<0>(info.param)) + "_" +
                                             std::get<1>(info.param).name);
                         });

// ---- the desktop switches while the pane is open -------------------------------------------

bool dark() {
    return UITraitCollection::userInterfaceStyleOfApplication() == UIUserInterfaceStyle::Dark;
}

// Every row in view shows the cell colour at its leading margin.
testing::AssertionResult rowsDrawnIn(SettingsScreen& screen, const QColor& cell) {
    int rows = 0;
    const QRect list(screen.table()->viewport()->mapTo(screen.window(), QPoint()),
                     screen.table()->viewport()->size());
    for (PSTableCell* row : screen.table()->madeCells()) {
        const QPoint at(6, row->height() / 2);
        if (!row->isVisible() || row->height() < 20 ||
            !list.contains(row->mapTo(screen.window(), at)))
            continue;
        if (++rows && screen.pixel(row, at) != cell)
            return testing::AssertionFailure()
                   << "a row is drawn " << screen.pixel(row, at).name().toStdString();
    }
    return rows >= 5 ? testing::AssertionSuccess() : testing::AssertionFailure() << rows << " rows";
}

// Everything shown is drawn again in the new appearance at once; the scroll, the focus and an
// open popover (in its own colours) stay.
TEST(PersonAppearance, ADesktopSwitchRedrawsAtOnceAndKeepsScrollFocusAndPopover) {
    FakePortal portal(0u);
    ASSERT_TRUE(portal.registered());
    SettingsScreen screen;
    ASSERT_FALSE(dark());
    PSTableCell* row = screen.row(QStringLiteral("显示歌词"));
    ASSERT_NE(row, nullptr);
    auto* control = screen.first<UISwitch>(row);
    ASSERT_TRUE(screen.tabTo(control));
    const QPointF offset = screen.table()->contentOffset();
    EXPECT_TRUE(rowsDrawnIn(screen, Qt::white));

    portal.change(1u);
    ASSERT_TRUE(eventually(dark, "the desktop's change was heard"));
    EXPECT_TRUE(rowsDrawnIn(screen, QColor(28, 28, 30)));
    QLabel* title = screen.labelled<QLabel>(row, QStringLiteral("显示歌词"));
    ASSERT_NE(title, nullptr);
    EXPECT_GT(measured(screen.shot(), inWindow(screen, title)).second, 4.5);
    QWidget* bar = screen.widgetOfClass(screen.window(), "UINavigationBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_LT(qGray(screen.pixel(bar, QPoint(bar->width() / 4, 3)).rgb()), 40);
    EXPECT_EQ(screen.table()->contentOffset(), offset);
    EXPECT_EQ(QApplication::focusWidget(), control);

    QWidget* layer = openedByTapping(screen, screen.widgetOfClass(bar, "RoundTemplateButton"));
    ASSERT_NE(layer, nullptr);
    QWidget* question =
        screen.labelled<QLabel>(layer, QStringLiteral("您确定要执行 注销 操作吗？"));
    ASSERT_NE(question, nullptr);
    portal.change(2u);
    ASSERT_TRUE(eventually([] { return !dark(); }, "the switch back was heard"));
    EXPECT_EQ(screen.presented(), layer);
    EXPECT_TRUE(question->isVisible());
    EXPECT_EQ(screen.pixel(question->parentWidget(), QPoint(4, 95)), QColor(72, 97, 112));
    EXPECT_TRUE(rowsDrawnIn(screen, Qt::white));
    EXPECT_EQ(screen.table()->contentOffset(), offset);
}

} // namespace
