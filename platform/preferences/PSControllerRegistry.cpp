#include "preferences/PSControllerRegistry.h"

#include <QHash>

namespace {

QHash<QString, PSControllerFactory>& controllerClasses() {
    static QHash<QString, PSControllerFactory> classes;
    return classes;
}

} // namespace

void PSControllerRegistry::registerControllerClass(const QString& name,
                                                   PSControllerFactory factory) {
    if (name.isEmpty())
        return;
    if (factory)
        controllerClasses().insert(name, std::move(factory));
    else
        controllerClasses().remove(name);
}

PSListController* PSControllerRegistry::create(const QString& name) {
    const PSControllerFactory factory = controllerClasses().value(name);
    return factory ? factory() : nullptr;
}
