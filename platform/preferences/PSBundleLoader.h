#pragma once

#include <QString>

class PSListController;

// Loads a preference bundle: a directory with Info.plist naming its shared object
// ("CFBundleExecutable") and its principal list-controller class ("NSPrincipalClass"). The
// shared object exports  extern "C" void PSBundleRegisterClasses();  which registers its cell
// and controller classes; it is called once per shared object for the process.
class PSBundleLoader {
public:
    // The principal class name; empty when the bundle, its executable or its entry point is
    // missing or unusable.
    static QString load(const QString& hostBundlePath);
    // load(), then the principal controller made from the registry with the bundle set;
    // nullptr on any failure. The caller owns the controller.
    static PSListController* instantiatePrincipalController(const QString& hostBundlePath);
    // The last reason load() gave nothing, for the host's diagnostics.
    static QString lastError();
};
