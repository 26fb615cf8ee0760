#include "SettingsApplication.h"

#include "EntryListController.h"
#include "PaneOpener.h"
#include "QtTranslation.h"
#include "WindowRenderer.h"

#include "preferences/PSListController.h"
#include "preferences/UITableView.h"
#include "uikit/DesktopColorScheme.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIWindow.h"

#include <QAbstractButton>
#include <QDBusConnection>
#include <QDebug>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

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

QString SettingsApplication::checkedRoot() const {
    // A root that is not there shows an empty list; without a word it looks like a broken host.
    const QString& root = _options.root;
    const QFileInfo info(root);
    const bool chinese = EntryListController::speaksChinese();
    QString problem;
    if (!info.exists())
        problem = chinese ? QStringLiteral("设备根目录 %1 不存在。")
                          : QStringLiteral("The device root %1 does not exist.");
    else if (!info.isDir())
        problem = chinese ? QStringLiteral("设备根目录 %1 不是文件夹。")
                          : QStringLiteral("The device root %1 is not a folder.");
    if (problem.isEmpty())
        return chinese ? QStringLiteral("没有安装任何设置项。")
                       : QStringLiteral("No settings entries are installed.");
    problem = problem.arg(root);
    qWarning().noquote() << "Settings:" << problem;
    return problem;
}

void SettingsApplication::fitToScreen() {
    // The device's height at a scale of 2 is taller than most screens; a window reaching past
    // the screen's free area cannot be seen whole. Its frame counts too, known once shown.
    const QScreen* screen = _window->screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QSize frame = _window->frameGeometry().size() - _window->size();
    const QSize fitted = _window->size().boundedTo(free.size() - frame);
    if (fitted == _window->size())
        return;
    _window->resize(fitted);
    if (!free.contains(_window->frameGeometry()))
        _window->move(free.topLeft());
}

void SettingsApplication::chooseAppearance() {
    if (_options.appearance) {
        UITraitCollection::setUserInterfaceStyleOfApplication(*_options.appearance);
        return;
    }
    // Asked before the first widget, so that the first frame is drawn in the desktop's mode;
    // a portal that has not answered by then is followed when it does.
    auto* scheme = new DesktopColorScheme(QDBusConnection::sessionBus(), this);
    scheme->start(kPortalWaitMilliseconds);
}

bool SettingsApplication::start(QString* error) {
    chooseAppearance();
    _entryList = new EntryListController(SettingsEntry::installedEntries(), checkedRoot(), this);
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
    if (_options.render.isEmpty()) // a render has no screen to fit
        fitToScreen();

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
