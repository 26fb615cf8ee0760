#include "QEVSwitchCellTestSupport.h"

#include "preferences/PSSpecifierListLoader.h"
#include "preferences/UISwitch.h"
#include "preferences/UITableView.h"
#include "uikit/UIPresentationController.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// The pane's own switch rows and their groups, from the bundle's real row list.
class SwitchRowsOfRoot : public CellTestController {
public:
    explicit SwitchRowsOfRoot(NSBundle* bundle) {
        setBundle(bundle);
        QVariantMap list = *PropertyList::readDictionary(bundle->bundlePath() + "/Root.plist");
        QVariantList rows;
        for (const QVariant& item : list.value("items").toList()) {
            const QString cell = item.toMap().value("cell").toString();
            if (cell == "PSGroupCell" || item.toMap().value("cellClass") == "QEVSwitchCell")
                rows.append(item);
        }
        list.insert("items", rows);
        _specifiers = PSSpecifierListLoader::loadDictionary(list, bundle, this, this).specifiers;
    }
};

bool anyPixelNear(const QImage& image, const QRect& area, QColor want, int tolerance) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && colorNear(image.pixelColor(x, y), want, tolerance))
                return true;
    return false;
}

class LanguageScope {
public:
    explicit LanguageScope(const char* language) : _old(qgetenv("LANGUAGE")) {
        qputenv("LANGUAGE", language);
    }
    ~LanguageScope() { qputenv("LANGUAGE", _old); }

private:
    QByteArray _old;
};

} // namespace

class QEVSwitchCellLook : public testing::TestWithParam<const char*> {};

// Renders the pane's switch rows, on and off, with and without info buttons, saves the picture
// for a person to look at, and checks what can be checked by pixel: amber on-tracks, grey
// off-tracks, blue info buttons clear of the switch and of the title.
TEST_P(QEVSwitchCellLook, SwitchRowsOfThePane) {
    registerCellClass<QEVSwitchCell>("QEVSwitchCell");
    LanguageScope language(GetParam());
    NSBundle* bundle = NSBundle::bundleWithPath(QStringLiteral(QEV_SOURCE_DIR "/resources/bundle"));
    ASSERT_NE(bundle, nullptr);
    SwitchRowsOfRoot controller(bundle);
    controller.stored = {{"enabled", true},    {"miniPlayer", false}, {"rememberPosition", true},
                         {"showLyrics", true}, {"karaoke", true},     {"boldHighlight", false}};
    QWidget* view = controller.view();
    view->resize(390, 844);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    const QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString dir = QStringLiteral(QEV_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    image.save(dir + "/switch-rows-" + GetParam() + ".png");
    // A sharper picture for the documentation: the rows beside their alert, at scale 2.
    const QRegion top(0, 0, 390, 520);
    QImage docs(QSize(2 * (2 * 390 + 16), 2 * 520), QImage::Format_RGB32);
    docs.setDevicePixelRatio(2);
    docs.fill(QColor(242, 242, 247));
    QPainter docsPainter(&docs);
    view->render(&docsPainter, QPoint(0, 0), top);

    int infoRows = 0;
    for (PSSpecifier* specifier : controller.specifiers()) {
        auto* cell = qobject_cast<QEVSwitchCell*>(specifier->cell());
        if (!cell || !cell->isVisible())
            continue;
        SCOPED_TRACE(specifier->name().toStdString());
        const QPoint origin = cell->mapTo(view, QPoint(0, 0));
        const QRect track(cell->control()->geometry().translated(origin));
        const QColor wanted = cell->control()->isOn() ? QColor(234, 181, 80)
                                                      : UISwitch::offTrackColor().resolvedColor();
        // The track shows on the side away from the thumb.
        const int x = cell->control()->isOn() ? track.left() + 6 : track.right() - 6;
        EXPECT_TRUE(colorNear(image.pixelColor(x, track.center().y()), wanted, 6));
        if (!cell->infoButton())
            continue;
        ++infoRows;
        const QRect button(cell->infoButton()->mapTo(view, QPoint(0, 0)),
                           cell->infoButton()->size());
        EXPECT_TRUE(anyPixelNear(image, button, QColor(0, 122, 255), 12));
        EXPECT_LT(button.right(), track.left());
        const QRect title(cell->textLabel()->mapTo(view, QPoint(0, 0)), cell->textLabel()->size());
        EXPECT_LT(title.right(), button.left());
        EXPECT_GE(title.width(), cell->textLabel()->sizeHint().width()) << "title cut short";
    }
    EXPECT_EQ(infoRows, 5);

    // The lyrics row's explanation: two lines from the table, under the row's own title-less
    // alert.
    QEVSwitchCell* lyrics = nullptr;
    for (PSSpecifier* specifier : controller.specifiers()) {
        if (specifier->propertyForKey("key") == "showLyrics")
            lyrics = qobject_cast<QEVSwitchCell*>(specifier->cell());
    }
    ASSERT_NE(lyrics, nullptr);
    ASSERT_NE(lyrics->infoButton(), nullptr);
    QTest::mouseClick(lyrics->infoButton(), Qt::LeftButton);
    auto* alert = qobject_cast<UIAlertController*>(controller.presentedViewController());
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->title().isNull());
    EXPECT_EQ(alert->message().count(u'\n'), 1);
    EXPECT_FALSE(alert->message().contains(u'\\'));
    QTest::qWait(UIPresentationController::kAlertAppearMilliseconds + 100); // the fade-in, whole
    view->grab().save(dir + "/switch-alert-" + GetParam() + ".png");
    view->render(&docsPainter, QPoint(390 + 16, 0), top);
    docsPainter.end();
    docs.save(dir + "/switch-rows-docs-" + GetParam() + ".png");
    alert->triggerAction(alert->actions().value(0));
    EXPECT_EQ(controller.presentedViewController(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Languages, QEVSwitchCellLook, testing::Values("en", "zh_CN"));
