#include "ListHost.h"

#include "common/MessageLog.h"

#include "preferences/PSBundleLoader.h"
#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSSwitchTableCell.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// A bundle the host cannot use gives no pane, says why, and loads nothing from outside itself.
// (A usable bundle, the pane's own, is loaded by the Settings application's tests.)
TEST(PSBundleLoader, UnusableBundlesGiveNothing) {
    const QString platformLibrary = QStringLiteral(QEV_BINARY_DIR "/platform/libplatform.so");
    ASSERT_TRUE(QFileInfo::exists(platformLibrary));
    const struct {
        const char* what;
        QVariant info; // invalid: no Info.plist at all
        bool withLibrary;
    } cases[] = {
        {"no Info.plist", {}, false},
        {"no executable named", QVariantMap{{"NSPrincipalClass", "P"}}, false},
        {"executable outside", QVariantMap{{"CFBundleExecutable", "../libplatform.so"}}, false},
        {"not a library", QVariantMap{{"CFBundleExecutable", "Info.plist"}}, false},
        {"no entry point", QVariantMap{{"CFBundleExecutable", "lib.so"}, {"NSPrincipalClass", "P"}},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDeviceRoot root;
        QMap<QString, QByteArray> files;
        if (c.info.typeId() == QMetaType::QString)
            files.insert("Info.plist", c.info.toByteArray());
        else
            files.insert("Info.plist", c.info.isValid() ? PropertyList::toXml(c.info) : "");
        const QString path = makeTestBundle(root, files)->bundlePath();
        if (!c.info.isValid())
            QFile::remove(path + "/Info.plist");
        if (c.withLibrary)
            QFile::link(platformLibrary, path + "/lib.so");
        MessageLog quiet;
        EXPECT_TRUE(PSBundleLoader::load(path).isEmpty());
        EXPECT_FALSE(PSBundleLoader::lastError().isEmpty());
        EXPECT_EQ(PSBundleLoader::instantiatePrincipalController(path), nullptr);
    }
    EXPECT_TRUE(PSBundleLoader::load("/no/such/bundle").isEmpty());
}

// A row names its cell class; a class that makes no cell, or a name that is no text, falls
// back to the standard cell of the row's kind.
TEST(PSCellClassRegistry, MakesTheNamedCellOrFallsBack) {
    PSCellClassRegistry::registerCellClass(
        "NamedSwitch", [](int style, const QString& reuse, PSSpecifier* specifier) {
            auto* cell = new PSSwitchTableCell(style, reuse, specifier);
            cell->setObjectName("named");
            return cell;
        });
    PSCellClassRegistry::registerCellClass(
        "Refusing", [](int, const QString&, PSSpecifier*) { return nullptr; });
    ListHost controller({switchRow("a", {{"cellClass", "NamedSwitch"}}),
                         switchRow("b", {{"cellClass", "Refusing"}}),
                         switchRow("c", {{"cellClass", 5}})});
    for (int row = 0; row < 3; ++row) {
        std::unique_ptr<PSTableCell> cell(controller.cellForRowAtIndexPath(nullptr, {0, row}));
        ASSERT_TRUE(qobject_cast<PSSwitchTableCell*>(cell.get())) << row;
        EXPECT_EQ(cell->objectName() == "named", row == 0);
        EXPECT_EQ(controller.specifiers().at(row)->cell(), cell.get());
    }
    EXPECT_EQ(controller.cellForRowAtIndexPath(nullptr, {0, 9}), nullptr);
}

} // namespace
