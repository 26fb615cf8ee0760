#pragma once

#include <QString>
#include <functional>

class PSListController;

using PSControllerFactory = std::function<PSListController*()>;

// List-controller classes by name, so the host can make a bundle's principal class.
class PSControllerRegistry {
public:
    static void registerControllerClass(const QString& name, PSControllerFactory factory);
    static PSListController* create(const QString& name); // nullptr when the name is unknown
};
