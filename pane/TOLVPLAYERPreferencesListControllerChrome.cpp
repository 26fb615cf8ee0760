// The pane's face: the restart button and the title view in the navigation bar, the pane tint,
// the banner header, and the title fade and banner stretch while the list scrolls.
#include "TOLVPLAYERPreferencesListController.h"

#include "AspectFitImageView.h"
#include "PaneToast.h"
#include "RoundTemplateButton.h"

#include "foundation/DeviceRoot.h"
#include "foundation/NSNotificationCenter.h"
#include "preferences/UITableView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIColor.h"
#include "uikit/UIFont.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITint.h"
#include "uikit/UIWindow.h"

#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <algorithm>

#ifndef QEV_BUNDLE_DIR
#define QEV_BUNDLE_DIR "/var/jb/Library/PreferenceBundles/tolvplayerprefs.bundle/"
#endif

namespace {
constexpr int kRespringButtonSide = 30;

QGraphicsOpacityEffect* opacityEffect(QWidget* view) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(view->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(view);
        view->setGraphicsEffect(effect);
    }
    return effect;
}

void setAlpha(QWidget* view, qreal alpha) {
    opacityEffect(view)->setOpacity(alpha);
}

// Both views fill the title view, one over the other (the later one on top).
QGridLayout* stackingLayout(QWidget* container) {
    auto* layout = new QGridLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QPropertyAnimation* makeFade(QObject* owner, const char* name) {
    auto* animation = new QPropertyAnimation(owner);
    animation->setObjectName(QString::fromLatin1(name));
    animation->setPropertyName("opacity");
    animation->setDuration(TOLVPLAYERPreferencesListController::kFadeMilliseconds);
    return animation;
}
} // namespace

QImage TOLVPLAYERPreferencesListController::bundleImage(const QString& name) {
    // A missing or unreadable file gives a null image: its view stays empty.
    return QImage(DeviceRoot::resolve(QStringLiteral(QEV_BUNDLE_DIR) + name));
}

void TOLVPLAYERPreferencesListController::buildNavigationChrome() {
    auto* button = new RoundTemplateButton;
    button->setGeometry(0, 0, kRespringButtonSide, kRespringButtonSide);
    button->setFixedSize(kRespringButtonSide, kRespringButtonSide);
    button->setBackgroundColor(paneDarkColor());
    button->setTemplateImage(bundleImage(QStringLiteral("CHECKMARK.png")));
    connect(button, &QAbstractButton::clicked, this, [this] { apply(); });
    UITint::setTintColor(button, paneTintColor());

    auto* item = new UIBarButtonItem(button);
    setRespringButtonItem(item);
    _respringButtonItem = item;
    navigationItem()->setRightBarButtonItems({item});

    auto* titleView = new QWidget;
    navigationItem()->setTitleView(titleView);
    QGridLayout* layout = stackingLayout(titleView);

    auto* label = new QLabel;
    label->setGeometry(0, 0, 10, 10);
    label->setFont(UIFont::boldSystemFontOfSize(18));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, paneTintColor());
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label, 0, 0);
    _titleLabel = label;

    auto* icon = new AspectFitImageView(bundleImage(QStringLiteral("icon.png")));
    icon->setGeometry(0, 0, 10, 10);
    setAlpha(icon, 0);
    layout->addWidget(icon, 0, 0);
    _iconView = icon;
    setAlpha(label, 1);

    _iconFade = makeFade(this, "iconFade");
    _titleFade = makeFade(this, "titleFade");
}

TOLVPLAYERPreferencesListController::~TOLVPLAYERPreferencesListController() {
    // The header lives in the table's viewport; it goes first so the table never shows a
    // header whose controller is gone. The message lives in the window, which may stay.
    delete _headerView.data();
    delete _toast.data();
}

void TOLVPLAYERPreferencesListController::viewDidLoad() {
    QEVRootListController::viewDidLoad();
    applyPaneTint();
    nameRestartButton();
    buildHeader();
    table()->setTableHeaderView(_headerView);
    watchPreferenceFile();
    NSNotificationCenter::defaultCenter()->addObserver(
        this, UIApplicationDidEnterBackgroundNotification, [this] { handleNoGesture(); });
}

void TOLVPLAYERPreferencesListController::nameRestartButton() {
    // The button shows only a picture; a screen reader says what it does, in the pane's
    // language (the bundle, which has the words, is known once the view loads).
    for (UIBarButtonItem* item : navigationItem()->rightBarButtonItems())
        if (item && item->customView())
            item->customView()->setAccessibleName(localized(QStringLiteral("Restart home screen")));
}

void TOLVPLAYERPreferencesListController::buildHeader() {
    auto* header = new QWidget;
    header->setGeometry(0, 0, kHeaderSide, kHeaderSide);
    auto* banner = new AspectFitImageView(bundleImage(QStringLiteral("banner.png")), header);
    banner->setGeometry(0, 0, kHeaderSide, kHeaderSide);
    // Pinned to the header's edges; a scroll callback may give it another frame afterwards.
    auto* layout = new QGridLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(banner, 0, 0);
    _headerView = header;
    _headerImageView = banner;
}

UINavigationBar* TOLVPLAYERPreferencesListController::outerNavigationBar() const {
    UINavigationController* own = navigationController();
    UINavigationController* outer = own ? own->navigationController() : nullptr;
    return outer ? outer->navigationBar() : nullptr;
}

void TOLVPLAYERPreferencesListController::applyPaneTint() {
    UITint::setTintColor(view(), paneTintColor());
    if (UIWindow* window = UIApplication::sharedApplication()->keyWindow())
        window->setTintColor(paneTintColor());
    if (UINavigationBar* bar = outerNavigationBar()) {
        bar->setTintColor(paneTintColor());
        bar->setTranslucent(true);
    }
}

void TOLVPLAYERPreferencesListController::viewWillAppear(bool animated) {
    QEVRootListController::viewWillAppear(animated);
    applyPaneTint();
}

void TOLVPLAYERPreferencesListController::viewWillDisappear(bool animated) {
    QEVRootListController::viewWillDisappear(animated);
    if (UINavigationBar* bar = outerNavigationBar())
        // The label colour: black in light appearance, and still legible on a dark bar.
        bar->setTitleTextAttributes(
            {{NSForegroundColorAttributeName, QVariant::fromValue(UIColor::labelColor())}});
}

PSTableCell* TOLVPLAYERPreferencesListController::cellForRowAtIndexPath(UITableView* tableView,
                                                                        NSIndexPath indexPath) {
    // Setting the header the table already shows costs nothing there.
    if (tableView && _headerView)
        tableView->setTableHeaderView(_headerView);
    return QEVRootListController::cellForRowAtIndexPath(tableView, indexPath);
}

void TOLVPLAYERPreferencesListController::fadeTitleView(bool showIcon) {
    // Every call starts the fade again from where the views are now; the two animations are
    // reused, so a fast scroll never piles them up.
    const auto fade = [](QPropertyAnimation* animation, QWidget* view, qreal to) {
        animation->stop();
        if (!view)
            return;
        animation->setTargetObject(opacityEffect(view));
        animation->setEndValue(to);
        animation->start();
    };
    fade(_iconFade, _iconView, showIcon ? 1.0 : 0.0);
    fade(_titleFade, _titleLabel, showIcon ? 0.0 : 1.0);
}

void TOLVPLAYERPreferencesListController::scrollViewDidScroll(UITableView* scrollView) {
    if (!scrollView)
        return;
    const double y = scrollView->contentOffset().y();
    fadeTitleView(y > kTitleFadeOffset);
    if (!_headerView || !_headerImageView)
        return;
    // The header's frame in the table's content, where it stays at the top; the viewport
    // shows it moved by the offset, rounded as the table places it.
    QRect header = _headerView->geometry();
    if (_headerView->parentWidget() == scrollView->viewport())
        header.translate(0, -qRound(-y));
    const int height = qRound(kHeaderSide - std::min(y, 0.0));
    _headerImageView->setGeometry(header.x(), header.y(), header.width(), height);
}
