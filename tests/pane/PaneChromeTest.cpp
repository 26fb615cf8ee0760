// The pane's chrome where a fault shows without a constant changing: which way the title fades,
// which way the banner stretches, and what the tint reaches.
#include "PaneFixture.h"

#include "pane/AspectFitImageView.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UITint.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>

namespace {

const QColor kTint = Pane::paneTintColor();

qreal alphaOf(QWidget* view) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(view->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

// Runs the title fades to their end at once.
void finishFades(Pane* pane) {
    for (QPropertyAnimation* fade : pane->findChildren<QPropertyAnimation*>())
        if (fade->state() == QAbstractAnimation::Running)
            fade->setCurrentTime(fade->duration());
}

// The empty label at the top, the icon once scrolled past the line, and back.
TEST(PaneChrome, TitleShowsTheIconOnlyOnceScrolledPastTheFadeLine) {
    ShownPane host;
    const double line = Pane::kTitleFadeOffset;
    for (const auto& [offset, icon] : {std::pair{line + 0.5, true},
                                       {line, false},
                                       {300.0, true},
                                       {-60.0, false},
                                       {line - 0.1, false},
                                       {line + 1, true}}) {
        host.scrollTo(offset);
        finishFades(host.pane);
        EXPECT_EQ(alphaOf(host.pane->iconView()), icon ? 1.0 : 0.0) << "offset " << offset;
        EXPECT_EQ(alphaOf(host.pane->titleLabel()), icon ? 0.0 : 1.0) << "offset " << offset;
    }
}

// Pulled down, the banner stretches by the pull; scrolled up, it keeps its side.
TEST(PaneChrome, BannerStretchesWhilePulledDownOnly) {
    ShownPane host;
    AspectFitImageView* banner = host.pane->headerImageView();
    const int side = Pane::kHeaderSide;
    for (const auto& [offset, height] :
         {std::pair{-60.0, side + 60}, {0.0, side}, {10.0, side}, {-200.0, side + 200}}) {
        host.scrollTo(offset);
        EXPECT_EQ(banner->height(), height) << "offset " << offset;
        EXPECT_EQ(banner->y(), 0) << "offset " << offset;
    }
}

// Every appearance tints the key window and the Settings bar anew; leaving gives the
// bar's title the label colour back.
TEST(PaneChrome, TintReachesPaneWindowAndOuterBarOnEveryAppearance) {
    ShownPane host;
    UINavigationBar* bar = host.settings->navigationBar();
    host.pane->navigationController()->pushViewController(new UIViewController, false);
    EXPECT_EQ(bar->titleTextAttributes().value(NSForegroundColorAttributeName),
              QVariant::fromValue(UIColor::labelColor()));
    bar->setTintColor(Qt::red);
    host.window.setTintColor(Qt::green);
    host.pane->navigationController()->popViewControllerAnimated(false);
    EXPECT_EQ(bar->tintColor(), kTint);
    EXPECT_EQ(host.window.tintColor(), kTint);
}

// Without an outer navigation controller there is no Settings bar to tint: the pane's own bar
// and a widget around the pane keep their own tints.
TEST(PaneChrome, WithoutTheSettingsNavigationOnlyThePaneItselfIsTinted) {
    TempDeviceRoot root;
    QWidget around;
    UITint::setTintColor(&around, UIColor(QColor(Qt::red)));
    auto* pane = new Pane;
    pane->setBundle(makeRowListBundle(root, ShownPane::manyRows(3)));
    UINavigationController own(pane);
    own.navigationBar()->setTintColor(Qt::green);
    own.view()->setParent(&around);
    own.view()->resize(390, 600);
    pane->transitionAppearance(true, false);
    pane->scrollViewDidScroll(pane->table());
    EXPECT_EQ(UITint::ownTintColor(pane->view()), kTint);
    EXPECT_EQ(UITint::ownTintColor(&around), QColor(Qt::red));
    EXPECT_EQ(own.navigationBar()->tintColor(), QColor(Qt::green));
}

} // namespace
