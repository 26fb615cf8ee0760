#include "PaneChromeHost.h"

#include "pane/AspectFitImageView.h"
#include "pane/RoundTemplateButton.h"
#include "uikit/UIApplication.h"
#include "uikit/UITint.h"

#include <QLabel>

namespace {

const QColor kTint(121, 145, 153);
const QColor kDark(72, 97, 112);

bool near(QColor a, QColor b, int tolerance = 3) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

void scrollTo(ChromeHost& host, double y) {
    host.table()->setContentOffset(QPointF(0, y));
    // The table reports only moves; a repeated offset still counts as a scroll callback.
    host.pane->scrollViewDidScroll(host.table());
}

TEST(PaneChromeTitle, FadesBetweenEmptyLabelAndIconAroundFortyPoints) {
    ChromeHost host;
    TOLVPLAYERPreferencesListController* pane = host.pane;
    ASSERT_EQ(alphaOf(pane->iconView()), 0.0);
    ASSERT_EQ(alphaOf(pane->titleLabel()), 1.0);

    struct Case {
        double offset;
        bool icon;
    };
    const Case cases[] = {{40.5, true}, {40, false},  {41, true},    {0, false},
                          {300, true},  {-60, false}, {39.9, false}, {40.01, true}};
    for (const Case& c : cases) {
        scrollTo(host, c.offset);
        finishFades(pane);
        EXPECT_EQ(alphaOf(pane->iconView()), c.icon ? 1.0 : 0.0) << "offset " << c.offset;
        EXPECT_EQ(alphaOf(pane->titleLabel()), c.icon ? 0.0 : 1.0) << "offset " << c.offset;
    }
}

TEST(PaneChromeTitle, FadeTakesAFifthOfASecondAndReusesItsTwoAnimations) {
    ChromeHost host;
    TOLVPLAYERPreferencesListController* pane = host.pane;
    for (int i = 0; i < 50; ++i)
        scrollTo(host, 50 + i);
    const QList<QPropertyAnimation*> fades = pane->findChildren<QPropertyAnimation*>();
    ASSERT_EQ(fades.size(), 2);
    for (QPropertyAnimation* fade : fades) {
        EXPECT_EQ(fade->duration(), 200);
        EXPECT_EQ(fade->state(), QAbstractAnimation::Running);
        fade->setCurrentTime(100);
    }
    // Half-way, both views are between their end points: a fade, not a jump.
    EXPECT_GT(alphaOf(pane->iconView()), 0.2);
    EXPECT_LT(alphaOf(pane->iconView()), 0.8);
    EXPECT_GT(alphaOf(pane->titleLabel()), 0.2);
    EXPECT_LT(alphaOf(pane->titleLabel()), 0.8);
    // A scroll back mid-fade turns around from where the views are.
    const qreal iconNow = alphaOf(pane->iconView());
    scrollTo(host, 10);
    for (QPropertyAnimation* fade : fades)
        fade->setCurrentTime(0);
    EXPECT_NEAR(alphaOf(pane->iconView()), iconNow, 0.01);
    finishFades(pane);
    EXPECT_EQ(alphaOf(pane->iconView()), 0.0);
}

TEST(PaneChromeTitle, LabelIsEmptyBoldTintedAndShareTheTitleViewWithTheIcon) {
    ChromeHost host;
    TOLVPLAYERPreferencesListController* pane = host.pane;
    QWidget* titleView = pane->navigationItem()->titleView();
    ASSERT_NE(titleView, nullptr);
    QLabel* label = pane->titleLabel();
    AspectFitImageView* icon = pane->iconView();
    EXPECT_TRUE(label->text().isEmpty());
    EXPECT_EQ(label->font().pixelSize(), 18);
    EXPECT_EQ(label->font().weight(), QFont::Bold);
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), kTint);
    EXPECT_FALSE(icon->image().isNull());
    // The bar shows the pane's title view; label and icon both fill it, the icon on top.
    EXPECT_EQ(titleView->parentWidget(), host.bar());
    EXPECT_TRUE(titleView->isVisible());
    EXPECT_EQ(label->geometry(), titleView->rect());
    EXPECT_EQ(icon->geometry(), titleView->rect());
    const QObjectList order = titleView->children();
    EXPECT_GT(order.indexOf(icon), order.indexOf(label));

    // In the label state the title view shows nothing at all; in the icon state, the icon.
    const auto inked = [&] {
        const QImage image = renderAlone(titleView);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += qAlpha(image.pixel(x, y)) > 0;
        return count;
    };
    EXPECT_EQ(inked(), 0);
    scrollTo(host, 100);
    finishFades(pane);
    EXPECT_GT(inked(), titleView->width() * titleView->height() / 8);
}

TEST(PaneChromeHeader, BannerStretchesWhilePulledDown) {
    ChromeHost host;
    QWidget* header = host.pane->headerView();
    AspectFitImageView* banner = host.pane->headerImageView();
    ASSERT_NE(header, nullptr);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->parentWidget(), header);
    EXPECT_FALSE(banner->image().isNull());
    EXPECT_EQ(header->height(), 200);

    struct Case {
        double offset;
        int height;
    };
    const Case cases[] = {{-60, 260}, {0, 200},    {10, 200},  {-1, 201},
                          {500, 200}, {-200, 400}, {-60, 260}, {40, 200}};
    for (const Case& c : cases) {
        scrollTo(host, c.offset);
        EXPECT_EQ(banner->height(), c.height) << "offset " << c.offset;
        // x, y and width of the header's frame in the table's content.
        EXPECT_EQ(banner->x(), header->x()) << "offset " << c.offset;
        EXPECT_EQ(banner->y(), 0) << "offset " << c.offset;
        EXPECT_EQ(banner->width(), header->width()) << "offset " << c.offset;
    }
}

// A pane that checks, for every cell it makes, that the table shows its header by then.
class HeaderWatchingPane : public TOLVPLAYERPreferencesListController {
public:
    int cellsMade = 0;
    int withoutHeader = 0;
    PSTableCell* cellForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        PSTableCell* cell =
            TOLVPLAYERPreferencesListController::cellForRowAtIndexPath(tableView, indexPath);
        ++cellsMade;
        if (!headerView() || tableView->tableHeaderView() != headerView())
            ++withoutHeader;
        return cell;
    }
};

TEST(PaneChromeHeader, IsTheTableHeaderBeforeTheFirstRowAndForEveryRowMade) {
    auto* pane = new HeaderWatchingPane;
    ChromeHost host(true, 30, pane);
    EXPECT_GT(pane->cellsMade, 0);
    EXPECT_EQ(pane->withoutHeader, 0);
    EXPECT_GE(host.table()->rectForRowAtIndexPath({0, 0}).top(), 200);

    // Taken away, the header comes back with the next row the table asks for.
    host.table()->setTableHeaderView(nullptr);
    const int before = pane->cellsMade;
    scrollTo(host, host.table()->maximumContentOffsetY());
    host.window.grab();
    EXPECT_GT(pane->cellsMade, before);
    EXPECT_EQ(host.table()->tableHeaderView(), pane->headerView());
    EXPECT_EQ(pane->withoutHeader, 0);
}

TEST(PaneChromeButton, IsADarkThirtyPointCircleWithATintedCheckMark) {
    ChromeHost host;
    QAbstractButton* button = host.restartButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->size(), QSize(30, 30));
    // The only right-hand item of the bar the user sees, shown there.
    const QList<UIBarButtonItem*> items = host.bar()->topItem()->rightBarButtonItems();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first(), TOLVPLAYERPreferencesListController::respringButtonItem());
    EXPECT_EQ(host.bar()->topItem(), host.pane->navigationItem());
    EXPECT_EQ(button->parentWidget(), host.bar());
    EXPECT_TRUE(button->isVisible());
    EXPECT_GT(button->x(), host.bar()->width() / 2);

    const QImage image = renderAlone(button);
    ASSERT_EQ(image.size(), QSize(30, 30));
    // Circle: the corners are outside it.
    for (QPoint corner : {QPoint(0, 0), QPoint(29, 0), QPoint(0, 29), QPoint(29, 29)})
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
    // Dark colour just inside the edge, left and top.
    EXPECT_TRUE(near(image.pixelColor(2, 15), kDark))
        << image.pixelColor(2, 15).name().toStdString();
    EXPECT_TRUE(near(image.pixelColor(15, 2), kDark))
        << image.pixelColor(15, 2).name().toStdString();
    // The check mark, where the template image is solid, in the pane tint.
    const QImage mark = static_cast<RoundTemplateButton*>(button)->templateImage();
    ASSERT_FALSE(mark.isNull());
    int tinted = 0;
    int solid = 0;
    for (int y = 0; y < mark.height(); ++y) {
        for (int x = 0; x < mark.width(); ++x) {
            if (qAlpha(mark.pixel(x, y)) < 255)
                continue;
            const QPoint at(x * 30 / mark.width(), y * 30 / mark.height());
            ++solid;
            tinted += near(image.pixelColor(at), kTint, 12);
        }
    }
    ASSERT_GT(solid, 20);
    EXPECT_GT(tinted, solid * 3 / 4);
}

TEST(PaneChromeButton, MissingImagesLeaveViewsEmptyAndTheButtonAPlainCircle) {
    ChromeHost host(false);
    EXPECT_TRUE(host.pane->iconView()->image().isNull());
    EXPECT_TRUE(host.pane->headerImageView()->image().isNull());
    QAbstractButton* button = host.restartButton();
    ASSERT_NE(button, nullptr);
    const QImage image = renderAlone(button);
    for (QPoint inside : {QPoint(15, 15), QPoint(12, 16), QPoint(20, 12), QPoint(3, 15)})
        EXPECT_TRUE(near(image.pixelColor(inside), kDark)) << inside.x() << "," << inside.y();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    // Still a header of 200 points, and still scrolls.
    EXPECT_EQ(host.table()->tableHeaderView(), host.pane->headerView());
    scrollTo(host, -30);
    EXPECT_EQ(host.pane->headerImageView()->height(), 230);
}

TEST(PaneChromeTint, SpreadsOverPaneWindowAndOuterBarAndTitleTakesTheLabelColourOnLeaving) {
    const QVariant label = QVariant::fromValue(UIColor::labelColor());
    ChromeHost host;
    EXPECT_EQ(UITint::ownTintColor(host.pane->view()), kTint);
    EXPECT_EQ(UIApplication::sharedApplication()->keyWindow(), &host.window);
    EXPECT_EQ(host.window.tintColor(), kTint);
    EXPECT_EQ(host.bar()->tintColor(), kTint);
    EXPECT_TRUE(host.bar()->isTranslucent());

    // Another controller over the pane: the pane disappears.
    host.bar()->setTitleTextAttributes({{NSForegroundColorAttributeName, QColor(Qt::red)}});
    host.inner->pushViewController(new UIViewController, false);
    EXPECT_EQ(host.bar()->titleTextAttributes(),
              (QVariantMap{{NSForegroundColorAttributeName, label}}));
    EXPECT_EQ(host.bar()->tintColor(), kTint);
    EXPECT_EQ(host.window.tintColor(), kTint);

    // Back again: every appearance tints anew.
    host.bar()->setTintColor(Qt::red);
    host.bar()->setTranslucent(false);
    host.window.setTintColor(Qt::green);
    host.inner->popViewControllerAnimated(false);
    EXPECT_EQ(host.bar()->tintColor(), kTint);
    EXPECT_TRUE(host.bar()->isTranslucent());
    EXPECT_EQ(host.window.tintColor(), kTint);

    // Leaving the pane for the Settings list keeps the pane's tint on the bar.
    host.settings->popViewControllerAnimated(false);
    EXPECT_EQ(host.bar()->titleTextAttributes().value(NSForegroundColorAttributeName), label);
    EXPECT_EQ(host.bar()->tintColor(), kTint);
}

TEST(PaneChromeTint, WithoutNavigationControllersOnlyThePaneItselfIsTinted) {
    TempDeviceRoot root;
    TOLVPLAYERPreferencesListController pane;
    pane.setBundle(makeRowListBundle(root, manyRows(3)));
    pane.view()->resize(390, 600);
    pane.transitionAppearance(true, false);
    pane.scrollViewDidScroll(pane.table());
    pane.transitionAppearance(false, false);
    EXPECT_EQ(UITint::ownTintColor(pane.view()), kTint);
    EXPECT_EQ(pane.table()->tableHeaderView(), pane.headerView());
}

} // namespace
