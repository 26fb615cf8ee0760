#include "preferences/PSCellType.h"

#include <QHash>

PSCellType PSCellTypeFromString(const QString& name) {
    static const QHash<QString, PSCellType> kinds = {
        {QStringLiteral("PSGroupCell"), PSGroupCell},
        {QStringLiteral("PSLinkCell"), PSLinkCell},
        {QStringLiteral("PSLinkListCell"), PSLinkListCell},
        {QStringLiteral("PSListItemCell"), PSListItemCell},
        {QStringLiteral("PSTitleValueCell"), PSTitleValueCell},
        {QStringLiteral("PSSliderCell"), PSSliderCell},
        {QStringLiteral("PSSwitchCell"), PSSwitchCell},
        {QStringLiteral("PSStaticTextCell"), PSStaticTextCell},
        {QStringLiteral("PSEditTextCell"), PSEditTextCell},
        {QStringLiteral("PSButtonCell"), PSButtonCell},
    };
    return kinds.value(name, PSListItemCell);
}
