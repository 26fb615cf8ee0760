#include "SettingsApplication.h"
#include "EntryListController.h"
#include "EntryRow.h"
#include "WindowRenderer.h"
#include "common/InstalledRoot.h"
#include "common/MessageLog.h"

#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIPopoverPresentationController.h"
#include "uikit/UIWindow.h"

#include <QAbstractButton>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

SettingsOptions optionsFor(const InstalledRoot& root, const QString& open = {}) {
    SettingsOptions options;
    options.root = root.path();
    options.open = open;
    return options;
}

TEST(SettingsApplication, ChoosingAnEntryPushesItsPaneNestedAndBackReturns) {
    InstalledRoot root;
    SettingsApplication app(optionsFor(root));
    QString error;
    ASSERT_TRUE(app.start(&error)) << error.toStdString();

    auto rows = app.entryList()->view()->findChildren<EntryRow*>();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first()->text(), "TOLVPlayer");
    QTest::mouseClick(rows.first(), Qt::LeftButton);

    PSListController* pane = app.openedPane();
    ASSERT_NE(pane, nullptr);
    EXPECT_STREQ(pane->metaObject()->className(), "TOLVPLAYERPreferencesListController");
    ASSERT_NE(pane->navigationController(), nullptr);
    EXPECT_EQ(pane->navigationController()->navigationController(), app.navigationController());
    EXPECT_EQ(app.navigationController()->viewControllers().size(), 2);
    EXPECT_FALSE(pane->specifiers().isEmpty());

    app.navigationController()->popViewControllerAnimated(false);
    EXPECT_EQ(app.navigationController()->topViewController(), app.entryList());
}

TEST(SettingsApplication, RefusesEntriesItCannotOpen) {
    InstalledRoot root;
    root.writeEntry("missing.plist", {{"bundle", "missing"}, {"label", "Missing"}});
    root.writeFile("/var/jb/Library/PreferenceBundles/empty.bundle/Info.plist",
                   PropertyList::toXml(QVariantMap{{"NSPrincipalClass", "Nothing"}}));
    root.writeEntry("empty.plist", {{"bundle", "empty"}, {"label", "Empty"}});

    for (const char* name : {"Missing", "Empty", "Unknown"}) {
        SCOPED_TRACE(name);
        SettingsApplication app(optionsFor(root, name));
        QString error;
        MessageLog quiet;
        EXPECT_FALSE(app.start(&error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(app.navigationController()->viewControllers().size(), 1);
    }
}

// A picture taken while the restart question is still fading in shows it fully in.
TEST(SettingsApplication, ARenderShowsWhereAnAnimationComesToRest) {
    InstalledRoot root;
    SettingsApplication app(optionsFor(root, "TOLVPlayer"));
    QString error;
    ASSERT_TRUE(app.start(&error)) << error.toStdString();
    QWidget* view =
        app.openedPane()->navigationItem()->rightBarButtonItems().value(0)->customView();
    auto* button = qobject_cast<QAbstractButton*>(view);
    ASSERT_NE(button, nullptr);
    button->click();
    auto* question = app.openedPane()->presentedViewController();
    ASSERT_NE(question, nullptr);
    const QString png = root.path() + "/popover.png";
    ASSERT_TRUE(WindowRenderer::renderNow(app.window(), png, &error)) << error.toStdString();
    const QRect body = question->popoverPresentationController()->popupWidget()->bodyGeometry();
    EXPECT_EQ(QImage(png).pixelColor(body.left() + 4, body.top() + 95), QColor(72, 97, 112));
}

// The real program, as the run script uses it: renders the pane at the size and scale asked
// and exits, or names what it could not open and fails.
TEST(SettingsProgram, RendersAndExits) {
    InstalledRoot root;
    const QString png = root.path() + "/out.png";
    QProcess program;
    program.start(QStringLiteral(QEV_BINARY_DIR "/app/Settings"),
                  {"--root", root.path(), "--open", "TOLVPlayer", "--render", png, "--size",
                   "430x932", "--scale", "2", "--scroll", "100"});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(860, 1864));
    // The pane was drawn: its grouped background fills the lower part of the window.
    EXPECT_EQ(image.pixelColor(4, 1800), QColor(242, 242, 247));

    program.start(
        QStringLiteral(QEV_BINARY_DIR "/app/Settings"),
        {"--root", root.path(), "--open", "TOLVPlayer", "--render", png, "--appearance", "dark"});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_EQ(QImage(png).pixelColor(2, 840), QColor(Qt::black)) << "not drawn dark";

    program.start(QStringLiteral(QEV_BINARY_DIR "/app/Settings"),
                  {"--root", root.path(), "--open", "Nothing", "--render", png});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_NE(program.exitCode(), 0);
    EXPECT_TRUE(program.readAllStandardError().contains("Nothing"));
}

} // namespace
