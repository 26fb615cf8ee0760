#include "preferences/PSCellClassRegistry.h"

#include <QHash>

namespace {

QHash<QString, PSCellFactory>& cellClasses() {
    static QHash<QString, PSCellFactory> classes;
    return classes;
}

} // namespace

void PSCellClassRegistry::registerCellClass(const QString& name, PSCellFactory factory) {
    if (name.isEmpty())
        return;
    if (factory)
        cellClasses().insert(name, std::move(factory));
    else
        cellClasses().remove(name);
}

PSCellFactory PSCellClassRegistry::factory(const QString& name) {
    return cellClasses().value(name);
}

bool PSCellClassRegistry::hasCellClass(const QString& name) {
    return cellClasses().contains(name);
}
