// The desktop switches between light and dark while the pane is open: everything shown is
// drawn again in the new appearance at once, and nothing else moves.
#include "SettingsScreen.h"

#include "common/FakePortal.h"

#include "preferences/PSTableCell.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"
#include "uikit/UITraitCollection.h"

#include <QApplication>
#include <QLabel>

namespace {

const QColor kLightCell(255, 255, 255);
const QColor kDarkCell(28, 28, 30);
const QColor kPaneDark(72, 97, 112);

bool dark() {
    return UITraitCollection::userInterfaceStyleOfApplication() == UIUserInterfaceStyle::Dark;
}

// Every row in view shows the cell colour at its leading margin.
testing::AssertionResult rowsDrawnIn(SettingsScreen& screen, const QColor& cell) {
    const QImage shot = screen.shot();
    int rows = 0;
    for (PSTableCell* row : screen.table()->madeCells()) {
        const QPoint at = row->mapTo(screen.window(), QPoint(6, row->height() / 2));
        if (!row->isVisible() || row->height() < 20 || !screen.window()->rect().contains(at) ||
            !screen.table()->viewport()->geometry().contains(
                screen.table()->mapFrom(screen.window(), at)))
            continue;
        ++rows;
        if (shot.pixelColor(at) != cell)
            return testing::AssertionFailure()
                   << "a row is drawn " << shot.pixelColor(at).name().toStdString();
    }
    if (rows < 5)
        return testing::AssertionFailure() << "only " << rows << " rows in view";
    return testing::AssertionSuccess();
}

// The lightest pixel of a widget as drawn: its text's colour on a dark row.
int lightest(SettingsScreen& screen, QWidget* w) {
    const QImage shot = screen.shot();
    int best = 0;
    const QRect area(w->mapTo(screen.window(), QPoint(0, 0)), w->size());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, qGray(shot.pixel(x, y)));
    return best;
}

TEST(PersonAppearance, ADesktopSwitchRedrawsAtOnceAndKeepsScrollFocusAndPopover) {
    FakePortal portal(0u);
    ASSERT_TRUE(portal.registered());
    SettingsScreen screen;
    ASSERT_FALSE(dark());
    PSTableCell* row = screen.row(QStringLiteral("显示歌词"));
    ASSERT_NE(row, nullptr);
    auto* control = screen.first<UISwitch>(row);
    ASSERT_TRUE(tabTo(screen, control));
    const QPointF offset = screen.table()->contentOffset();
    QLabel* title = screen.labelled<QLabel>(row, QStringLiteral("显示歌词"));
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(rowsDrawnIn(screen, kLightCell));

    portal.change(1u);
    ASSERT_TRUE(eventually(dark, "the desktop's change was heard"));
    EXPECT_TRUE(rowsDrawnIn(screen, kDarkCell));
    EXPECT_GT(lightest(screen, title), 230) << "the title is not drawn light";
    QWidget* bar = screen.widgetOfClass(screen.window(), "UINavigationBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_LT(qGray(screen.pixel(bar, QPoint(bar->width() / 4, 3)).rgb()), 40);
    EXPECT_EQ(screen.table()->contentOffset(), offset);
    EXPECT_EQ(QApplication::focusWidget(), control);

    // With the restart question open, it stays open, in its own colours, over a lighter page.
    QWidget* round = screen.widgetOfClass(bar, "RoundTemplateButton");
    ASSERT_NE(round, nullptr);
    screen.tap(round);
    QWidget* layer = screen.presented();
    ASSERT_NE(layer, nullptr);
    QWidget* question =
        screen.labelled<QLabel>(layer, QStringLiteral("您确定要执行 注销 操作吗？"));
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(screen.settle()); // the popover's fade
    portal.change(2u);
    ASSERT_TRUE(eventually([] { return !dark(); }, "the switch back was heard"));
    EXPECT_EQ(screen.presented(), layer);
    EXPECT_TRUE(question->isVisible());
    EXPECT_EQ(screen.pixel(question->parentWidget(), QPoint(4, 95)), kPaneDark);
    EXPECT_TRUE(rowsDrawnIn(screen, kLightCell));
    EXPECT_EQ(screen.table()->contentOffset(), offset);
}

} // namespace
