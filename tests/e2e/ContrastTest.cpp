// Every text the pane and its host draw, measured as drawn in each appearance: its colour
// against its background must reach 4.5:1, except where the pane itself fixes both colours
// (those ratios are printed, not held to the bar).
#include "SettingsScreen.h"

#include "common/TestName.h"

#include "preferences/PSTableCell.h"
#include "preferences/UITableView.h"

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

// The text's contrast in `area` of the window as drawn: the background is the area's commonest
// colour, the text the pixel that stands out from it most (a glyph's fully covered pixels).
double measuredContrast(const QImage& shot, const QRect& area) {
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
    return best;
}

QRect inWindow(SettingsScreen& screen, QWidget* w) {
    return w ? QRect(w->mapTo(screen.window(), QPoint(0, 0)), w->size()) : QRect();
}

QRect inWindow(SettingsScreen& screen, QWidget* within, const QRect& rect) {
    return QRect(within->mapTo(screen.window(), rect.topLeft()), rect.size());
}

// A section's header or footer text, from content to window coordinates.
QRect sectionText(SettingsScreen& screen, QRect content) {
    UITableView* table = screen.table();
    content.translate(0, -qRound(table->contentOffset().y()));
    return inWindow(screen, table->viewport(), content);
}

QLabel* labelIn(SettingsScreen& screen, QWidget* within, const char* text) {
    return within ? screen.labelled<QLabel>(within, QString::fromUtf8(text)) : nullptr;
}

QWidget* openedByTapping(SettingsScreen& screen, QWidget* control) {
    if (!control)
        return nullptr;
    screen.tap(control);
    EXPECT_TRUE(screen.settle()); // whatever opens has finished appearing
    return screen.presented();
}

struct Element {
    const char* name;
    bool paneFixed; // both colours are the pane's own
    bool onPane;    // else on the Settings list, after a visit to the pane
    std::function<QRect(SettingsScreen&)> area;
};

const Element kElements[] = {
    {"row_title", false, true,
     [](SettingsScreen& s) { return inWindow(s, labelIn(s, s.row("启用播放器"), "启用播放器")); }},
    {"slider_title", false, true,
     [](SettingsScreen& s) { return inWindow(s, labelIn(s, s.row("音量"), "音量")); }},
    {"colour_value", false, true,
     [](SettingsScreen& s) {
         PSTableCell* row = s.row("高亮颜色");
         return row ? inWindow(s, row->detailTextLabel()) : QRect();
     }},
    {"section_header", false, true,
     [](SettingsScreen& s) {
         s.row("启用播放器");
         return sectionText(s, s.table()->rectForHeaderInSection(0));
     }},
    {"alert_title", false, true,
     [](SettingsScreen& s) {
         PSTableCell* row = s.row("启用播放器");
         QWidget* layer = openedByTapping(s, row ? s.widgetOfClass(row, "UIInfoButton") : nullptr);
         QWidget* alert = layer ? s.widgetOfClass(layer, "UIAlertView") : nullptr;
         return alert ? inWindow(s, alert->findChildren<QLabel*>().value(0)) : QRect();
     }},
    {"picker_field_label", false, true,
     [](SettingsScreen& s) {
         QWidget* layer = openedByTapping(s, s.row("高亮颜色"));
         QWidget* dialog = layer ? s.widgetOfClass(layer, "QColorDialog") : nullptr;
         return dialog ? inWindow(s, s.first<QLabel>(dialog)) : QRect();
     }},
    {"settings_title", false, false,
     [](SettingsScreen& s) {
         return inWindow(s, labelIn(s, s.widgetOfClass(s.window(), "UINavigationBar"), "设置"));
     }},
    {"settings_entry", false, false,
     [](SettingsScreen& s) {
         QWidget* entry = s.widgetOfClass(s.window(), "EntryRow");
         return entry ? inWindow(s, entry, entry->rect().adjusted(55, 4, -40, -4)) : QRect();
     }},
    // The pane's own colours.
    {"restart_question", true, true,
     [](SettingsScreen& s) {
         QWidget* bar = s.widgetOfClass(s.window(), "UINavigationBar");
         QWidget* layer = openedByTapping(s, s.widgetOfClass(bar, "RoundTemplateButton"));
         return inWindow(s, labelIn(s, layer, "您确定要执行 注销 操作吗？"));
     }},
    {"slider_readout", true, true,
     [](SettingsScreen& s) {
         PSTableCell* row = s.row("音量");
         return row ? inWindow(s, s.widgetOfClass(row, "QEVValueLabel")) : QRect();
     }},
};

struct ContrastCase {
    const char* appearance;
    Element element;
};

void PrintTo(const ContrastCase& c, std::ostream* os) {
    *os << c.appearance << " " << c.element.name;
}

class Contrast : public testing::TestWithParam<ContrastCase> {};

TEST_P(Contrast, TextStandsOutFromItsBackground) {
    const ContrastCase& c = GetParam();
    SettingsScreen screen({.arguments = {"--appearance", c.appearance}});
    if (!c.element.onPane) {
        QWidget* bar = screen.widgetOfClass(screen.window(), "UINavigationBar");
        ASSERT_NE(bar, nullptr);
        QWidget* back = screen.widgetOfClass(bar, "UIBackButton");
        ASSERT_NE(back, nullptr);
        screen.tap(back);
        screen.wait(600); // the pop's transition
    }
    const QRect area = c.element.area(screen);
    ASSERT_FALSE(area.isEmpty()) << "not found on screen";
    ASSERT_TRUE(screen.window()->rect().contains(area)) << "not wholly in view";
    const double contrast = measuredContrast(screen.shot(), area);
    std::printf("contrast %-5s %-20s %5.2f:1%s\n", c.appearance, c.element.name, contrast,
                c.element.paneFixed ? " (the pane's own colours)" : "");
    RecordProperty("contrast", QString::number(contrast, 'f', 2).toStdString());
    EXPECT_GT(contrast, 1.2) << "no text drawn there";
    if (!c.element.paneFixed)
        EXPECT_GE(contrast, 4.5);
}

std::vector<ContrastCase> allCases() {
    std::vector<ContrastCase> cases;
    for (const char* appearance : {"light", "dark"})
        for (const Element& element : kElements)
            cases.push_back({appearance, element});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Elements, Contrast, testing::ValuesIn(allCases()), [](const auto& info) {
    return testName(std::string(info.param.appearance) + "_" + info.param.element.name);
});

} // namespace
