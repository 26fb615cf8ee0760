#include "uikit/UIBarButtonItem.h"

UIBarButtonItem::UIBarButtonItem(QWidget* customView, QObject* parent)
    : QObject(parent), _customView(customView) {}

UIBarButtonItem::~UIBarButtonItem() {
    delete _customView.data();
}
