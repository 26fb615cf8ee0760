#include "cells/QEVSwitchCell.h"

#include "cells/UIInfoButton.h"
#include "foundation/NSBundle.h"
#include "foundation/TextRules.h"
#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UISwitch.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIColor.h"
#include "uikit/UIWindow.h"

#include <QLabel>

namespace {

const QString kInfoTitle = QStringLiteral("infoTitle");
const QString kInfoMessage = QStringLiteral("infoMessage");
const QString kLocalizationTable = QStringLiteral("localizationTable");

// A property read as text: a string as written, a number as its decimal text; anything else
// (a list, a dictionary, data) counts as absent rather than as some made-up text.
QString textProperty(PSSpecifier* specifier, const QString& key) {
    if (!specifier)
        return QString();
    const QVariant value = specifier->propertyForKey(key);
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return TextRules::isNumber(value) ? TextRules::decimalText(value) : QString();
}

bool hasProperty(PSSpecifier* specifier, const QString& key) {
    return specifier && specifier->propertyForKey(key).isValid();
}

} // namespace

QEVSwitchCell::QEVSwitchCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                             QWidget* parent)
    : PSSwitchTableCell(style, reuseIdentifier, specifier, parent) {
    if (hasProperty(specifier, kInfoTitle) || hasProperty(specifier, kInfoMessage))
        makeInfoButton(specifier);
}

void QEVSwitchCell::makeInfoButton(PSSpecifier* specifier) {
    PSListController* target = specifier->target();
    _bundle = target && target->bundle() ? target->bundle() : NSBundle::mainBundle();
    _infoButton = new UIInfoButton(contentView());
    connect(_infoButton, &QAbstractButton::clicked, this, &QEVSwitchCell::infoButtonTapped);
    _infoButton->setTintColor(UIColor::systemBlueColor());
    _infoButton->setAccessibleName(
        specifier->localizedString(QStringLiteral("%@, more information"))
            .replace(QStringLiteral("%@"), textLabel()->text()));
    // The button stands before the switch, and Tab reaches it first, as the row reads.
    setControlOrder({_infoButton, control()});
    _infoButton->show();
    placeInfoButton();
}

void QEVSwitchCell::layoutSubviews() {
    PSSwitchTableCell::layoutSubviews();
    placeInfoButton();
    tintSwitches();
}

// Vertically centred in the content view, its trailing edge 4 inside the content view's; the
// switch is outside the content view, so the button stands just before it. The title gives
// way to the button rather than running under it.
void QEVSwitchCell::placeInfoButton() {
    if (!_infoButton)
        return;
    QWidget* content = contentView();
    const QSize size = _infoButton->sizeHint();
    const int x = content->width() - kInfoTrailingInset - size.width();
    _infoButton->setGeometry(x, (content->height() - size.height()) / 2, size.width(),
                             size.height());
    const int limit = x - kTitleToInfoSpacing;
    for (QLabel* label : {textLabel(), detailTextLabel()}) {
        QRect frame = label->geometry();
        if (frame.right() >= limit) {
            frame.setRight(std::max(frame.left(), limit) - 1);
            label->setGeometry(frame);
        }
    }
}

// Only the cell's own switches: a switch deeper inside (in the content view, say) keeps its
// colour.
void QEVSwitchCell::tintSwitches() {
    const QList<UISwitch*> switches = findChildren<UISwitch*>(Qt::FindDirectChildrenOnly);
    for (UISwitch* control : switches)
        control->setOnTintColor(onTintColor());
}

QString QEVSwitchCell::infoTitleFor(PSSpecifier* specifier) {
    return textProperty(specifier, kInfoTitle);
}

QString QEVSwitchCell::infoMessageFor(PSSpecifier* specifier, NSBundle* bundle) {
    const QString key = textProperty(specifier, kInfoMessage);
    const QString table = textProperty(specifier, kLocalizationTable);
    QString message = bundle ? bundle->localizedStringForKey(key, key, table) : key;
    if (message.isNull())
        message = QStringLiteral("");
    return message.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

void QEVSwitchCell::infoButtonTapped() {
    PSSpecifier* rowSpecifier = specifier();
    auto* alert = UIAlertController::alertControllerWithTitle(infoTitleFor(rowSpecifier),
                                                              infoMessageFor(rowSpecifier, _bundle),
                                                              UIAlertControllerStyleAlert);
    alert->addAction(
        UIAlertAction::actionWithTitle(QStringLiteral("取消"), UIAlertActionStyleCancel));
    UIViewController* presenter = alertPresenter();
    if (presenter)
        presenter->presentViewController(alert, true);
    // With nobody to show it (no window, or the presenter busy with another alert), the alert
    // is dropped rather than left behind unowned.
    if (!presenter || alert->presentingViewController() != presenter)
        delete alert;
}

UIViewController* QEVSwitchCell::alertPresenter() {
    if (UIViewController* owner = UIViewController::viewControllerForView(this))
        return owner;
    UIWindow* window = UIApplication::sharedApplication()->keyWindow();
    return window ? window->rootViewController() : nullptr;
}
