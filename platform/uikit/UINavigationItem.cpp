#include "uikit/UINavigationItem.h"

#include "uikit/UIBarButtonItem.h"

UINavigationItem::UINavigationItem(QObject* parent) : QObject(parent) {}

UINavigationItem::~UINavigationItem() {
    // The item holds its title view: with no bar left to show it, it goes with the item.
    delete _titleView.data();
}

void UINavigationItem::setTitle(const QString& title) {
    if (title == _title)
        return;
    _title = title;
    emit changed();
}

void UINavigationItem::setTitleView(QWidget* view) {
    if (view == _titleView)
        return;
    if (_titleView)
        _titleView->hide();
    _titleView = view;
    emit changed();
}

QList<UIBarButtonItem*> UINavigationItem::rightBarButtonItems() const {
    QList<UIBarButtonItem*> items;
    for (const QPointer<UIBarButtonItem>& item : _rightItems) {
        if (item)
            items.append(item);
    }
    return items;
}

void UINavigationItem::setRightBarButtonItems(const QList<UIBarButtonItem*>& items) {
    for (const QPointer<UIBarButtonItem>& old : _rightItems) {
        if (old && !items.contains(old.data()) && old->customView())
            old->customView()->hide();
    }
    _rightItems.clear();
    for (UIBarButtonItem* item : items) {
        if (!item)
            continue;
        if (!item->parent())
            item->setParent(this); // an item nobody else holds lives as long as this one
        _rightItems.append(item);
    }
    emit changed();
}
