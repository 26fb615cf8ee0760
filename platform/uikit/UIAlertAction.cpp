#include "uikit/UIAlertAction.h"

UIAlertAction* UIAlertAction::actionWithTitle(const QString& title, UIAlertActionStyle style,
                                              Handler handler) {
    return new UIAlertAction(title, style, std::move(handler));
}

UIAlertAction::UIAlertAction(const QString& title, UIAlertActionStyle style, Handler handler,
                             QObject* parent)
    : QObject(parent), _title(title), _style(style), _handler(std::move(handler)) {}

void UIAlertAction::runHandler() {
    if (_handler)
        _handler(this);
}
