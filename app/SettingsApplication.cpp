#include "SettingsApplication.h"

#include "EntryListController.h"
#include "PaneOpener.h"
#include "QtTranslation.h"
#include "WindowRenderer.h"

#include "preferences/PSListController.h"
#include "preferences/UITableView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIWindow.h"

#include <QAbstractButton>
#include <QDebug>

SettingsApplication::SettingsApplication(SettingsOptions options, QObject* parent)
    : QObject(parent), _options(std::move(options)) {
    // Before the first widget, so no language change goes round the widgets.
    QtTranslation::install(this);
}

SettingsApplication::~SettingsApplication() {
    delete _window;
}

PSListController* SettingsApplication::openEntry(const SettingsEntry& entry, bool animated,
                                                 QString* error) {
    PSListController* pane = PaneOpener::open(entry, _navigation, animated, error);
    if (pane)
        _pane = pane;
    return pane;
}

bool SettingsApplication::start(QString* error) {
    _entryList = new EntryListController(SettingsEntry::installedEntries(), this);
    _navigation = new UINavigationController(_entryList);
    _navigation->setParent(this);
    _window = new UIWindow;
    _window->setWindowTitle(QStringLiteral("Settings"));
    _window->resize(_options.size);
    _window->setRootViewController(_navigation);
    connect(_entryList, &EntryListController::entryChosen, this, [this](const SettingsEntry& e) {
        QString message;
        if (!openEntry(e, true, &message))
            qWarning().noquote() << "Settings:" << e.name << "-" << message;
    });
    _window->makeKeyAndVisible();

    if (!_options.open.isEmpty()) {
        const QList<SettingsEntry>& entries = _entryList->entries();
        const auto found =
            std::find_if(entries.cbegin(), entries.cend(),
                         [&](const SettingsEntry& e) { return e.matches(_options.open); });
        if (found == entries.cend()) {
            *error = QStringLiteral("no entry named %1 in %2")
                         .arg(_options.open, SettingsEntry::installedEntriesDirectory());
            return false;
        }
        if (!openEntry(*found, false, error))
            return false;
    }
    if (!_options.render.isEmpty())
        render();
    return true;
}

void SettingsApplication::applyScroll() {
    if (!_options.scroll || !_pane || !_pane->table())
        return;
    _pane->table()->setContentOffset(QPointF(0, *_options.scroll));
}

void SettingsApplication::tapRightBarButton() {
    if (!_pane)
        return;
    const QList<UIBarButtonItem*> items = _pane->navigationItem()->rightBarButtonItems();
    QWidget* view = items.isEmpty() ? nullptr : items.first()->customView();
    if (auto* button = qobject_cast<QAbstractButton*>(view))
        button->click();
}

void SettingsApplication::render() {
    // Scrolled only once the rows have their final heights, so the offset is not cut back to
    // a shorter list's end.
    WindowRenderer::renderWhenSettled(
        _window, _options.render,
        [this] {
            applyScroll();
            if (_options.popover)
                tapRightBarButton();
        },
        [this](bool ok, QString message) {
            if (!ok)
                qWarning().noquote() << "Settings:" << message;
            emit finished(ok ? 0 : 1);
        });
}
