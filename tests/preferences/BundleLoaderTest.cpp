#include "TestListController.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "preferences/PSBundleLoader.h"
#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSControllerRegistry.h"
#include "preferences/PSSwitchTableCell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeInfo(const QTemporaryDir& dir, const QVariantMap& info) {
    QFile file(dir.filePath("Info.plist"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PropertyList::toXml(info));
}

QString platformLibrary() {
    return QStringLiteral(QEV_BINARY_DIR "/platform/libplatform.so");
}

} // namespace

TEST(PSControllerRegistry, MakesRegisteredClassesOnly) {
    int made = 0;
    PSControllerRegistry::registerControllerClass("TestPane", [&made] {
        ++made;
        return new TestListController({});
    });
    std::unique_ptr<PSListController> controller(PSControllerRegistry::create("TestPane"));
    EXPECT_TRUE(controller);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(PSControllerRegistry::create("Unknown"), nullptr);
    EXPECT_EQ(PSControllerRegistry::create(""), nullptr);
    PSControllerRegistry::registerControllerClass("TestPane", {});
    EXPECT_EQ(PSControllerRegistry::create("TestPane"), nullptr);
}

TEST(PSCellClassRegistry, NamedClassMakesTheCellAndARefusalFallsBack) {
    PSCellClassRegistry::registerCellClass(
        "NamedSwitch", [](int style, const QString& reuse, PSSpecifier* specifier) {
            auto* cell = new PSSwitchTableCell(style, reuse, specifier);
            cell->setObjectName("named");
            return cell;
        });
    PSCellClassRegistry::registerCellClass(
        "Refusing", [](int, const QString&, PSSpecifier*) { return nullptr; });
    TestListController controller({row("PSSwitchCell", "a", "a", {{"cellClass", "NamedSwitch"}}),
                                   row("PSSwitchCell", "b", "b", {{"cellClass", "Refusing"}}),
                                   row("PSSwitchCell", "c", "c", {{"cellClass", 5}})});
    std::unique_ptr<PSTableCell> named(controller.cellForRowAtIndexPath(nullptr, {0, 0}));
    std::unique_ptr<PSTableCell> refused(controller.cellForRowAtIndexPath(nullptr, {0, 1}));
    std::unique_ptr<PSTableCell> odd(controller.cellForRowAtIndexPath(nullptr, {0, 2}));
    EXPECT_EQ(named->objectName(), "named");
    EXPECT_EQ(named->reuseIdentifier(), "NamedSwitch");
    EXPECT_TRUE(qobject_cast<PSSwitchTableCell*>(refused.get()));
    EXPECT_TRUE(qobject_cast<PSSwitchTableCell*>(odd.get()));
    EXPECT_EQ(controller.specifiers().at(0)->cell(), named.get());
    EXPECT_EQ(controller.cellForRowAtIndexPath(nullptr, {0, 9}), nullptr);
}

TEST(PSBundleLoader, UnusableBundlesGiveNothing) {
    ASSERT_TRUE(QFileInfo::exists(platformLibrary()));
    const struct {
        const char* what;
        QVariant info; // invalid: no Info.plist at all
        bool linkPlatformLibrary;
    } cases[] = {
        {"no Info.plist", {}, false},
        {"no executable named", QVariantMap{{"NSPrincipalClass", "P"}}, false},
        {"executable not a text", QVariantMap{{"CFBundleExecutable", 5}}, false},
        {"executable outside", QVariantMap{{"CFBundleExecutable", "../libplatform.so"}}, false},
        {"executable missing", QVariantMap{{"CFBundleExecutable", "absent.so"}}, false},
        {"not a library", QVariantMap{{"CFBundleExecutable", "Info.plist"}}, false},
        {"no entry point", QVariantMap{{"CFBundleExecutable", "lib.so"}, {"NSPrincipalClass", "P"}},
         true},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        if (c.info.isValid())
            writeInfo(dir, c.info.toMap());
        if (c.linkPlatformLibrary)
            QFile::link(platformLibrary(), dir.filePath("lib.so"));
        EXPECT_TRUE(PSBundleLoader::load(dir.path()).isEmpty()) << c.what;
        EXPECT_FALSE(PSBundleLoader::lastError().isEmpty()) << c.what;
        EXPECT_EQ(PSBundleLoader::instantiatePrincipalController(dir.path()), nullptr) << c.what;
    }
    EXPECT_TRUE(PSBundleLoader::load("/no/such/bundle").isEmpty());
    EXPECT_TRUE(PSBundleLoader::load("").isEmpty());
}

// A real bundle: a shared object, built here with the system C compiler, whose entry point
// counts its calls in the environment.
TEST(PSBundleLoader, LoadsTheExecutableCallsItsEntryOnceAndMakesThePrincipalClass) {
    const QString compiler = QStandardPaths::findExecutable("cc");
    if (compiler.isEmpty())
        GTEST_SKIP() << "no C compiler to build the bundle's shared object";
    QTemporaryDir dir;
    QFile source(dir.filePath("entry.c"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("#include <stdio.h>\n#include <stdlib.h>\n"
                 "void PSBundleRegisterClasses(void) {\n"
                 "    const char* v = getenv(\"PS_FIXTURE_CALLS\");\n"
                 "    char text[16];\n"
                 "    snprintf(text, sizeof text, \"%d\", (v ? atoi(v) : 0) + 1);\n"
                 "    setenv(\"PS_FIXTURE_CALLS\", text, 1);\n"
                 "}\n");
    source.close();
    ASSERT_EQ(QProcess::execute(compiler, {"-shared", "-fPIC", "-o", dir.filePath("fixture.so"),
                                           source.fileName()}),
              0);
    writeInfo(dir, {{"CFBundleExecutable", "fixture.so"}, {"NSPrincipalClass", "FixturePane"}});
    qunsetenv("PS_FIXTURE_CALLS");
    PSControllerRegistry::registerControllerClass("FixturePane",
                                                  [] { return new TestListController({}); });

    EXPECT_EQ(PSBundleLoader::load(dir.path()), "FixturePane");
    EXPECT_EQ(qgetenv("PS_FIXTURE_CALLS"), "1");
    std::unique_ptr<PSListController> controller(
        PSBundleLoader::instantiatePrincipalController(dir.path()));
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->bundle(), NSBundle::bundleWithPath(dir.path()));
    EXPECT_EQ(qgetenv("PS_FIXTURE_CALLS"), "1"); // registered once per process

    // A bundle whose principal class nobody registered gives no controller.
    writeInfo(dir, {{"CFBundleExecutable", "fixture.so"}, {"NSPrincipalClass", "Unregistered"}});
    QTemporaryDir other;
    QFile::copy(dir.filePath("fixture.so"), other.filePath("fixture.so"));
    writeInfo(other, {{"CFBundleExecutable", "fixture.so"}, {"NSPrincipalClass", "Unregistered"}});
    EXPECT_EQ(PSBundleLoader::instantiatePrincipalController(other.path()), nullptr);
    EXPECT_FALSE(PSBundleLoader::lastError().isEmpty());
}
