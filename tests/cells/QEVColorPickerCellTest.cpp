#include "CellTestHost.h"

#include "common/Eventually.h"

#include "cells/QEVColorIndicatorView.h"
#include "cells/QEVColorSwatch.h"
#include "preferences/PSCellClassRegistry.h"
#include "preferences/UITableView.h"
#include "uikit/UIColorPickerViewController.h"

#include <QPointer>

namespace {

// What a row shows from its stored value, else its "default", else its "fallbackHex"; the
// swatch opaque unless the row has alpha, which the mere presence of "supportsAlpha" turns on,
// in the row and in its picker; nothing written before a pick.
TEST(QEVColorPickerCell, ShowsTheStoredValueElseTheFallback) {
    const QVariantMap alpha{{"supportsAlpha", true}};
    const struct {
        const char* name;
        QVariantMap properties;
        QVariant stored; // invalid: nothing stored
        QString detail;
        QColor swatch;
    } cases[] = {
        {"translucent with alpha", alpha, "#FF000080", "#FF0000:0.50", QColor(255, 0, 0, 128)},
        {"translucent without alpha", {}, "#FF000080", "#FF0000:0.50", QColor(255, 0, 0)},
        {"alpha key false",
         {{"supportsAlpha", false}},
         "#FF000080",
         "#FF0000:0.50",
         QColor(255, 0, 0, 128)},
        {"percentage", alpha, "#00FF00:20", "#00FF00:20", QColor(0, 255, 0, 51)},
        {"default", {{"default", "#336699"}}, {}, "#336699", QColor(0x33, 0x66, 0x99)},
        {"fallback", {{"fallbackHex", "#00FF0080"}}, {}, "#00FF00:0.50", QColor(0, 255, 0)},
        {"stored wins", {{"fallbackHex", "#00FF00"}}, "#0000FF", "#0000FF", QColor(0, 0, 255)},
        {"nothing at all", alpha, {}, "#000000:0.00", QColor(0, 0, 0, 0)},
        {"unparsable", {}, "ZZ", "#:0.00", QColor(0, 0, 0)},
        {"a number", {}, qint64(255), "#2:0.33", QColor(0, 0, 2)},
        {"a list", {}, QVariantList{1, 2}, "#000000:0.00", QColor(0, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ColorRow row(c.properties, c.stored);
        EXPECT_EQ(row.cell->detailTextLabel()->text(), c.detail);
        EXPECT_EQ(row.cell->indicatorShape()->fillColor(), c.swatch);
        EXPECT_EQ(row.cell->colorPicker()->supportsAlpha(), c.properties.contains("supportsAlpha"));
        EXPECT_TRUE(row.controller.writes.isEmpty());
    }
}

// The ring runs clockwise from yellow at the bottom-right corner: green below the swatch,
// magenta above it.
TEST(QEVColorPickerCell, TheRingRunsClockwise) {
    QEVColorIndicatorView view;
    const QImage image = view.grab().toImage();
    const int middle = view.width() / 2;
    // Within 24 of each channel: the band is drawn with antialiasing.
    const auto near = [](QColor seen, QColor want) {
        return std::max({std::abs(seen.red() - want.red()), std::abs(seen.green() - want.green()),
                         std::abs(seen.blue() - want.blue())}) < 24;
    };
    const QColor below = image.pixelColor(middle, view.height() - 2);
    const QColor above = image.pixelColor(middle, 1);
    EXPECT_TRUE(near(below, Qt::green)) << below.name().toStdString();
    EXPECT_TRUE(near(above, Qt::magenta)) << above.name().toStdString();
}

// The host may drop a row's cell while its picker is open: the picker goes with it, and the new
// cell opens a picker of its own.
TEST(QEVColorPickerCell, ACellDroppedWhileItsPickerIsOpenTakesThePickerAlong) {
    CellController controller;
    controller.setItems({colorRow("c")});
    PSCellClassRegistry::registerCellClass(
        "QEVColorPickerCell", [](int style, const QString& reuse, PSSpecifier* specifier) {
            return static_cast<PSTableCell*>(new QEVColorPickerCell(style, reuse, specifier));
        });
    QWidget* view = controller.view();
    view->resize(800, 500); // wide: the picker is a popover, not a sheet
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    const auto cellShown = [&] {
        return qobject_cast<QEVColorPickerCell*>(controller.table()->cellForRowAtIndexPath({0, 0}));
    };
    QPointer<QEVColorPickerCell> cell = cellShown();
    ASSERT_NE(cell, nullptr);
    QTest::mouseClick(cell, Qt::LeftButton, {}, {40, 20});
    QPointer<UIColorPickerViewController> picker = cell->colorPicker();
    ASSERT_EQ(controller.presentedViewController(), picker.data());
    controller.table()->reloadData();
    EXPECT_TRUE(eventually([&] { return cell.isNull(); }, "the dropped cell goes"));
    EXPECT_TRUE(picker.isNull());
    EXPECT_EQ(controller.presentedViewController(), nullptr);
    QEVColorPickerCell* again = cellShown();
    ASSERT_NE(again, nullptr);
    QTest::mouseClick(again, Qt::LeftButton, {}, {40, 20});
    EXPECT_EQ(controller.presentedViewController(), again->colorPicker());
}

} // namespace
