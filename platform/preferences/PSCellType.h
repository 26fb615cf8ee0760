#pragma once

#include <QAnyStringView>

// The kinds of row a row list names under "cell", with the host's raw values. Only the kinds
// the pane's lists use have a cell of their own; link and button rows are plain rows.
enum PSCellType {
    PSGroupCell = 0,
    PSLinkCell = 1,
    PSLinkListCell = 2,
    PSListItemCell = 3,
    PSTitleValueCell = 4,
    PSSliderCell = 5,
    PSSwitchCell = 6,
    PSStaticTextCell = 7,
    PSEditTextCell = 8,
    PSButtonCell = 13,
};

// The kind named by a row list's "cell" text; anything unknown is a plain row.
PSCellType PSCellTypeFromString(QAnyStringView name);
