#include "uikit/UINavigationBar.h"

#include "uikit/UIBackButton.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIColor.h"
#include "uikit/UIFont.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITint.h"

#include <QLabel>
#include <QPainter>

namespace {
constexpr int kEdgeMargin = 16;
constexpr int kBackMargin = 8;
constexpr int kItemSpacing = 8;
const UIColor kBarBackground(QColor(249, 249, 249), QColor(22, 22, 24));
const UIColor kHairline(QColor(0, 0, 0, 77), QColor(255, 255, 255, 38));
} // namespace

UINavigationBar::UINavigationBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFixedHeight(kHeight);
    _backButton = new UIBackButton(this);
    _backButton->hide();
    connect(_backButton, &QAbstractButton::clicked, this, &UINavigationBar::backTapped);
    _titleLabel = new QLabel(this);
    _titleLabel->setFont(UIFont::systemFontOfSize(17, QFont::DemiBold));
    _titleLabel->setAlignment(Qt::AlignCenter);
    applyTitleColor();
}

QSize UINavigationBar::sizeHint() const {
    return QSize(390, kHeight);
}

void UINavigationBar::setTintColor(const QColor& color) {
    UITint::setTintColor(this, color);
}

QColor UINavigationBar::tintColor() const {
    return UITint::tintColor(this);
}

void UINavigationBar::setTranslucent(bool translucent) {
    _translucent = translucent;
    update();
}

void UINavigationBar::setTitleTextAttributes(const QVariantMap& attributes) {
    _titleTextAttributes = attributes;
    applyTitleColor();
}

void UINavigationBar::applyTitleColor() {
    // The attribute holds a fixed QColor or a dynamic UIColor; without one, the label colour.
    const QVariant given = _titleTextAttributes.value(NSForegroundColorAttributeName);
    UIColor color = given.metaType() == QMetaType::fromType<UIColor>()
                        ? given.value<UIColor>()
                        : UIColor(given.value<QColor>());
    if (!color.isValid())
        color = UIColor::labelColor();
    UIColor::setPaletteColor(_titleLabel, QPalette::WindowText, color);
}

void UINavigationBar::showItem(UINavigationItem* item, const QString& fallbackTitle,
                               const QString& backTitle, bool backVisible) {
    if (_shownTitleView && (!item || item->titleView() != _shownTitleView))
        _shownTitleView->hide();
    for (const QPointer<QWidget>& view : _shownRightViews) {
        if (view)
            view->hide();
    }
    _item = item;
    _shownTitleView = item ? item->titleView() : nullptr;
    _shownRightViews.clear();
    for (QWidget* view : rightViews())
        _shownRightViews.append(view);

    const QString title = item && !item->title().isEmpty() ? item->title() : fallbackTitle;
    _titleLabel->setText(title);
    _titleLabel->setVisible(!_shownTitleView);
    if (_shownTitleView) {
        _shownTitleView->setParent(this);
        _shownTitleView->show();
    }
    for (const QPointer<QWidget>& view : _shownRightViews) {
        view->setParent(this);
        view->show();
    }
    _backButton->setText(backTitle);
    _backButton->setVisible(backVisible);
    layoutContents();
}

QList<QWidget*> UINavigationBar::rightViews() const {
    QList<QWidget*> views;
    if (!_item)
        return views;
    for (UIBarButtonItem* barItem : _item->rightBarButtonItems()) {
        if (barItem->customView())
            views.append(barItem->customView());
    }
    return views;
}

void UINavigationBar::resizeEvent(QResizeEvent*) {
    layoutContents();
}

// A view that was given a size keeps it, as a frame does on the device; otherwise it gets
// what it asks for within its limits.
static QSize naturalSize(const QWidget* view) {
    const QSize hint = view->sizeHint();
    if (view->testAttribute(Qt::WA_Resized) || !hint.isValid() || hint.isEmpty())
        return view->size();
    return hint.expandedTo(view->minimumSize()).boundedTo(view->maximumSize());
}

void UINavigationBar::layoutContents() {
    int leading = kBackMargin;
    if (!_backButton->isHidden()) {
        const QSize size = _backButton->sizeHint().boundedTo(QSize(width() / 3, kHeight));
        _backButton->setGeometry(kBackMargin, 0, size.width(), kHeight);
        leading = _backButton->geometry().right() + kItemSpacing;
    }
    int trailing = width() - kEdgeMargin;
    for (const QPointer<QWidget>& view : _shownRightViews) {
        if (!view)
            continue;
        const QSize size = naturalSize(view).boundedTo(QSize(width() / 3, kHeight));
        trailing -= size.width();
        view->setGeometry(trailing, (kHeight - size.height()) / 2, size.width(), size.height());
        trailing -= kItemSpacing;
    }
    // The title sits in the middle of the bar, pushed aside only where the items need room.
    QWidget* title = _shownTitleView ? _shownTitleView.data() : _titleLabel;
    const int room = qMax(0, trailing - leading);
    QSize size = _shownTitleView ? naturalSize(title) : _titleLabel->sizeHint();
    size = size.boundedTo(QSize(room, kHeight));
    int x = (width() - size.width()) / 2;
    x = qBound(leading, x, qMax(leading, trailing - size.width()));
    title->setGeometry(x, (kHeight - size.height()) / 2, size.width(), size.height());
}

void UINavigationBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor background = kBarBackground.resolvedColorForView(this);
    if (_translucent)
        background.setAlpha(240);
    painter.fillRect(rect(), background);
    painter.fillRect(QRectF(0, height() - 0.5, width(), 0.5), kHairline.resolvedColorForView(this));
}
