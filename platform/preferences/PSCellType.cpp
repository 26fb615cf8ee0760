#include "preferences/PSCellType.h"

#include <QLatin1StringView>

PSCellType PSCellTypeFromString(QAnyStringView name) {
    static constexpr struct {
        QLatin1StringView name;
        PSCellType kind;
    } kKinds[] = {
        {QLatin1StringView("PSGroupCell"), PSGroupCell},
        {QLatin1StringView("PSLinkCell"), PSLinkCell},
        {QLatin1StringView("PSLinkListCell"), PSLinkListCell},
        {QLatin1StringView("PSListItemCell"), PSListItemCell},
        {QLatin1StringView("PSTitleValueCell"), PSTitleValueCell},
        {QLatin1StringView("PSSliderCell"), PSSliderCell},
        {QLatin1StringView("PSSwitchCell"), PSSwitchCell},
        {QLatin1StringView("PSStaticTextCell"), PSStaticTextCell},
        {QLatin1StringView("PSEditTextCell"), PSEditTextCell},
        {QLatin1StringView("PSButtonCell"), PSButtonCell},
    };
    for (const auto& kind : kKinds) {
        // The names are ASCII, so a text equal to one has its length in any encoding.
        if (kind.name.size() == name.size() && QAnyStringView::equal(kind.name, name))
            return kind.kind;
    }
    return PSListItemCell;
}
