#include "CellTestHost.h"

#include "cells/QEVColorSwatch.h"
#include "preferences/UISwitch.h"

#include <QLabel>
#include <functional>

namespace {

// What one action on a row left behind: every value stored, and what the row then shows.
struct Outcome {
    QVariantList writes;
    QString shown;
};

QString swatchText(QEVColorPickerCell* cell) {
    return cell->detailTextLabel()->text() + " " +
           cell->indicatorShape()->fillColor().name(QColor::HexArgb);
}

// Each row kind stores exactly what its action chose, once, and shows it at once.
TEST(QEVCells, EachRowKindStoresItsValueOnceAndShowsIt) {
    const struct {
        const char* name;
        std::function<Outcome()> act;
        QVariantList writes;
        QString shown;
    } cases[] = {
        {"switch on",
         [] {
             SwitchRow row({});
             QTest::mouseClick(row.cell->control(), Qt::LeftButton);
             return Outcome{row.controller.writes, row.cell->control()->isOn() ? "on" : "off"};
         },
         {true},
         "on"},
        {"slider +",
         [] {
             SliderRow row({}, 2.0);
             row.cell->incrementValue();
             return Outcome{row.controller.writes, row.readout()};
         },
         {double(2.1f)},
         "2.10"},
        {"colour picked, alpha",
         [] {
             ColorRow row({{"supportsAlpha", true}});
             row.pick(QColor(255, 0, 0, 127));
             return Outcome{row.controller.writes, swatchText(row.cell)};
         },
         {"#FF00007F"},
         "#FF0000:0.50 #7fff0000"},
        {"colour picked, no alpha",
         [] {
             ColorRow row({{"default", "#FFFFFF"}});
             row.pick(QColor(128, 0, 0, 127));
             return Outcome{row.controller.writes, swatchText(row.cell)};
         },
         {"#800000"},
         "#800000 #ff800000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = c.act();
        EXPECT_EQ(outcome.writes, c.writes);
        EXPECT_EQ(outcome.shown, c.shown);
    }
}

} // namespace
