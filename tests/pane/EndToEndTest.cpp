#include "PaneFixture.h"

#include "pane/PaneRegistration.h"
#include "preferences/PSBundleLoader.h"
#include "preferences/PSControllerRegistry.h"
#include "preferences/PSSwitchTableCell.h"
#include "preferences/PSTableCell.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"

#include <QFile>

namespace {

TEST(PaneEndToEnd, ClickingASwitchStoresAnnouncesAndCollapsesItsGroup) {
    TempDeviceRoot root;
    ASSERT_TRUE(PropertyList::writeDictionary({{"unrelated", "kept"}, {"x", true}},
                                              root.hostPath(kPrefsDevicePath)));
    ShownPane host(makeRowListBundle(root, {groupRow("G"), controlRow("a", 2, {{"default", true}}),
                                            switchRow("x"), switchRow("y"), switchRow("after")}),
                   true);
    CountingPane* pane = host.pane;
    ASSERT_EQ(pane->navigationController()->navigationController(), host.settings);

    QObject context;
    int deliveries = 0;
    QVariant seenOnDelivery;
    const bool bus = haveSessionBus();
    if (bus) {
        NotifyCenter::darwin()->observe(kReloadName, &context, [&] {
            ++deliveries;
            seenOnDelivery = PropertyList::readDictionary(root.hostPath(kPrefsDevicePath))
                                 .value_or(QVariantMap())
                                 .value("a");
        });
    }

    auto* cell = qobject_cast<PSSwitchTableCell*>(pane->specifiers().at(1)->cell());
    ASSERT_NE(cell, nullptr);
    ASSERT_TRUE(cell->control()->isOn());
    QTest::mouseClick(cell->control(), Qt::LeftButton);

    EXPECT_EQ(PropertyList::readDictionary(root.hostPath(kPrefsDevicePath)),
              (QVariantMap{{"unrelated", "kept"}, {"x", true}, {"a", false}}));
    UITableView* table = pane->table();
    for (int row : {1, 2}) {
        QTRY_COMPARE_WITH_TIMEOUT(table->rectForRowAtIndexPath({0, row}).height(), 0, 3000);
        ASSERT_NE(table->cellForRowAtIndexPath({0, row}), nullptr);
        EXPECT_TRUE(table->cellForRowAtIndexPath({0, row})->clipsToBounds());
    }
    EXPECT_GT(table->rectForRowAtIndexPath({0, 3}).height(), 0);

    if (!bus)
        GTEST_SKIP() << "no session bus: delivery not checked";
    drainNotifications(&context);
    EXPECT_EQ(deliveries, 1);
    EXPECT_EQ(seenOnDelivery, false);
}

// Odd row lists and odd stored values open and lay out without harm.
TEST(PaneEndToEnd, OddRowsAndValuesStillShow) {
    TempDeviceRoot root;
    ASSERT_TRUE(PropertyList::writeDictionary(
        {{"a", QVariantList{0}}, {"b", "no"}, {"c", QDateTime::fromSecsSinceEpoch(0, Qt::UTC)}},
        root.hostPath(kPrefsDevicePath)));
    ShownPane host(
        makeRowListBundle(
            root, {groupRow("G"), controlRow("a", QVariantList{1}), controlRow("b", 1e300),
                   switchRow("c"), QVariantMap{{"label", "no cell"}, {"key", "d"}},
                   QVariantMap{{"cell", "PSSwitchCell"}, {"key", 42}, {"nestedEntryCount", "-3"}},
                   controlRow("e", "99999999999999999999", {{"default", 0}}), switchRow("f")}),
        true);
    CountingPane* pane = host.pane;
    EXPECT_TRUE(pane->hasDynamicSpecifiers());
    // "a" holds a list (not a count); "b" reads "no" (not "0"); "e" defaults to 0.
    EXPECT_GT(pane->heightOf(3), 0.0);
    EXPECT_EQ(pane->heightOf(7), 0.0);
    EXPECT_EQ(host.window.grab().size(), QSize(390, 844));
}

// The real bundle: its module registers the pane, Info.plist names it, "Root" loads.
TEST(PaneBundle, LoadsFromTheBuiltModuleWithTheShippedResources) {
    TempDeviceRoot root;
    const QString bundle =
        root.hostPath("/var/jb/Library/PreferenceBundles/tolvplayerprefs.bundle");
    QDir().mkpath(bundle);
    const QDir resources(QStringLiteral(QEV_SOURCE_DIR "/resources/bundle"));
    for (const QString& name : resources.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(resources.filePath(name), bundle + "/" + name));
    for (const QString& lproj : resources.entryList({"*.lproj"}, QDir::Dirs)) {
        QDir().mkpath(bundle + "/" + lproj);
        for (const QString& name : QDir(resources.filePath(lproj)).entryList(QDir::Files))
            QFile::copy(resources.filePath(lproj + "/" + name), bundle + "/" + lproj + "/" + name);
    }
    ASSERT_TRUE(QFile::link(QStringLiteral(QEV_BINARY_DIR "/pane/tolvplayerprefs.so"),
                            bundle + "/tolvplayerprefs.so"));

    EXPECT_EQ(PSBundleLoader::load(bundle), "TOLVPLAYERPreferencesListController")
        << PSBundleLoader::lastError().toStdString();
    std::unique_ptr<PSListController> pane(PSBundleLoader::instantiatePrincipalController(bundle));
    ASSERT_NE(pane, nullptr);
    EXPECT_STREQ(pane->metaObject()->className(), "TOLVPLAYERPreferencesListController");
    EXPECT_EQ(pane->tableViewStyle(), 2);
    pane->view();
    const QList<PSSpecifier*> rows = pane->specifiers();
    ASSERT_GT(rows.size(), 5);
    PSSpecifier* enabled = nullptr;
    for (PSSpecifier* row : rows)
        if (row->propertyForKey("key") == "enabled")
            enabled = row;
    ASSERT_NE(enabled, nullptr);
    EXPECT_EQ(enabled->performGetter(), true);
    enabled->performSetterWithValue(false);
    EXPECT_EQ(PropertyList::readDictionary(root.hostPath(kPrefsDevicePath)),
              (QVariantMap{{"enabled", false}}));
}

TEST(PaneBundle, RegistersThePaneByItsName) {
    registerPaneClasses();
    std::unique_ptr<PSListController> pane(
        PSControllerRegistry::create("TOLVPLAYERPreferencesListController"));
    ASSERT_NE(pane, nullptr);
    EXPECT_NE(qobject_cast<TOLVPLAYERPreferencesListController*>(pane.get()), nullptr);
}

} // namespace
