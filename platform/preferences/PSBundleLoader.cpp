#include "preferences/PSBundleLoader.h"

#include "foundation/NSBundle.h"
#include "preferences/PSControllerRegistry.h"
#include "preferences/PSListController.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

namespace {

using RegisterClasses = void (*)();

QString& lastErrorText() {
    static QString text;
    return text;
}

QString fail(const QString& why) {
    lastErrorText() = why;
    return QString();
}

// Libraries stay loaded for the process: their classes are in the registries. The table is
// never destroyed, so the libraries stay reachable (and loaded) through exit.
QHash<QString, QLibrary*>& loadedLibraries() {
    static auto* const libraries = new QHash<QString, QLibrary*>;
    return *libraries;
}

QString executablePath(const NSBundle& bundle) {
    const QVariant name = bundle.objectForInfoDictionaryKey(QStringLiteral("CFBundleExecutable"));
    if (name.typeId() != QMetaType::QString)
        return QString();
    const QString file = name.toString();
    // The executable lives in the bundle's top directory, never elsewhere.
    if (file.isEmpty() || file.contains(QLatin1Char('/')) || file == QLatin1String("..") ||
        file == QLatin1String("."))
        return QString();
    return QDir(bundle.bundlePath()).filePath(file);
}

bool registerLibrary(const QString& path) {
    const QString key = QFileInfo(path).canonicalFilePath();
    if (key.isEmpty())
        return false;
    if (loadedLibraries().contains(key))
        return true;
    auto* library = new QLibrary(key);
    if (!library->load()) {
        lastErrorText() = library->errorString();
        delete library;
        return false;
    }
    auto entry = reinterpret_cast<RegisterClasses>(library->resolve("PSBundleRegisterClasses"));
    if (!entry) {
        lastErrorText() = QStringLiteral("no PSBundleRegisterClasses in ") + key;
        library->unload();
        delete library;
        return false;
    }
    loadedLibraries().insert(key, library);
    entry();
    return true;
}

} // namespace

QString PSBundleLoader::load(const QString& hostBundlePath) {
    NSBundle* bundle = NSBundle::bundleWithPath(hostBundlePath);
    if (!bundle)
        return fail(QStringLiteral("no bundle at ") + hostBundlePath);
    const QString executable = executablePath(*bundle);
    if (executable.isEmpty())
        return fail(QStringLiteral("no usable CFBundleExecutable in ") + hostBundlePath);
    if (!registerLibrary(executable))
        return QString();
    const QVariant principal =
        bundle->objectForInfoDictionaryKey(QStringLiteral("NSPrincipalClass"));
    if (principal.typeId() != QMetaType::QString || principal.toString().isEmpty())
        return fail(QStringLiteral("no NSPrincipalClass in ") + hostBundlePath);
    lastErrorText().clear();
    return principal.toString();
}

PSListController* PSBundleLoader::instantiatePrincipalController(const QString& hostBundlePath) {
    const QString name = load(hostBundlePath);
    if (name.isEmpty())
        return nullptr;
    PSListController* controller = PSControllerRegistry::create(name);
    if (!controller) {
        fail(QStringLiteral("no controller class ") + name);
        return nullptr;
    }
    controller->setBundle(NSBundle::bundleWithPath(hostBundlePath));
    return controller;
}

QString PSBundleLoader::lastError() {
    return lastErrorText();
}
