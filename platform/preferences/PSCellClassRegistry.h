#pragma once

#include <QString>
#include <functional>

class PSSpecifier;
class PSTableCell;

using PSCellFactory =
    std::function<PSTableCell*(int style, const QString& reuseIdentifier, PSSpecifier* specifier)>;

// Cell classes by the name a row list gives under "cellClass". A bundle registers its classes
// when it is loaded; a later registration under the same name replaces the earlier one.
class PSCellClassRegistry {
public:
    static void registerCellClass(const QString& name, PSCellFactory factory);
    static PSCellFactory factory(const QString& name); // empty when the name is unknown
    static bool hasCellClass(const QString& name);
};
