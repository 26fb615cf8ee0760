#include "SettingsApplication.h"
#include "EntryListController.h"
#include "EntryRow.h"
#include "common/InstalledRoot.h"
#include "common/MessageLog.h"

#include "preferences/PSListController.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"

#include <QImage>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(SettingsApplication, ChoosingAnEntryPushesItsPaneAndBackReturns) {
    InstalledRoot root;
    SettingsApplication app({.root = root.path()});
    QString error;
    ASSERT_TRUE(app.start(&error)) << error.toStdString();
    auto rows = app.entryList()->view()->findChildren<EntryRow*>();
    ASSERT_EQ(rows.size(), 1);
    QTest::mouseClick(rows.first(), Qt::LeftButton);
    ASSERT_NE(app.openedPane(), nullptr);
    EXPECT_STREQ(app.openedPane()->metaObject()->className(),
                 "TOLVPLAYERPreferencesListController");
    EXPECT_EQ(app.navigationController()->viewControllers().size(), 2);
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
        SettingsApplication app({.root = root.path(), .open = name});
        QString error;
        MessageLog quiet;
        EXPECT_FALSE(app.start(&error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(app.navigationController()->viewControllers().size(), 1);
    }
}

// The real program, as the run script uses it: renders the pane at the size, scale and
// appearance asked, once nothing moves any more, and exits; or names what it could not open
// and fails.
TEST(SettingsProgram, RendersAndExits) {
    InstalledRoot root;
    const QString png = root.path() + "/out.png";
    QProcess program;
    const auto run = [&](const QString& open, const QStringList& more, QString at = {}) {
        at = at.isEmpty() ? root.path() : at;
        program.start(QStringLiteral(QEV_BINARY_DIR "/app/Settings"),
                      QStringList{"--root", at, "--open", open, "--render", png} + more);
        EXPECT_TRUE(program.waitForFinished(30000));
        return program.exitCode();
    };
    ASSERT_EQ(run("TOLVPlayer", {"--size", "430x932", "--scale", "2", "--scroll", "100"}), 0);
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(860, 1864));
    EXPECT_EQ(image.pixelColor(4, 1800), QColor(242, 242, 247)) << "the pane's grouped background";
    ASSERT_EQ(run("TOLVPlayer", {"--appearance", "dark"}), 0);
    EXPECT_EQ(QImage(png).pixelColor(2, 840), QColor(Qt::black)) << "not drawn dark";
    // The restart question, still fading in when the render is asked for, is drawn fully in:
    // its body's own colour, unblended, fills a good part of the picture.
    ASSERT_EQ(run("TOLVPlayer", {"--popover"}), 0);
    const QImage popover(png);
    int body = 0;
    for (int y = 0; y < popover.height(); ++y)
        for (int x = 0; x < popover.width(); ++x)
            body += popover.pixelColor(x, y) == QColor(72, 97, 112);
    EXPECT_GT(body, 5000);
    EXPECT_NE(run("Nothing", {}), 0);
    EXPECT_TRUE(program.readAllStandardError().contains("Nothing"));
    // A root that is missing, or a file, is named on stderr (and on the page), not shown as an
    // empty list without a word.
    for (const QString& bad : {root.path() + "/nowhere", png}) {
        run("TOLVPlayer", {}, bad);
        EXPECT_TRUE(program.readAllStandardError().contains(bad.toUtf8())) << bad.toStdString();
    }
}

} // namespace
