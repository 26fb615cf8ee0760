#pragma once

#include "SettingsEntry.h"
#include "SettingsOptions.h"

#include "preferences/PSListController.h"

#include <QObject>
#include <QPointer>

class EntryListController;
class UINavigationController;
class UIWindow;

// The Settings application: a key window whose navigation stack starts at the list of
// installed entries. Choosing an entry pushes its pane; back returns to the list.
class SettingsApplication : public QObject {
    Q_OBJECT
public:
    explicit SettingsApplication(SettingsOptions options, QObject* parent = nullptr);
    ~SettingsApplication() override;

    // Shows the window and, when asked, opens an entry and renders. False with `error` set
    // when the window cannot do what the options ask.
    bool start(QString* error);

    PSListController* openEntry(const SettingsEntry& entry, bool animated, QString* error);

    UIWindow* window() const { return _window; }
    UINavigationController* navigationController() const { return _navigation; }
    EntryListController* entryList() const { return _entryList; }
    PSListController* openedPane() const { return _pane; }

signals:
    // After a render: the exit code the process should end with.
    void finished(int exitCode);

private:
    // What the entry list says when it is empty; a missing root is also said on stderr.
    QString checkedRoot() const;
    // --appearance when given, else the desktop's choice, followed live.
    void chooseAppearance();
    void fitToScreen();
    void applyScroll();
    void tapRightBarButton(); // --popover: what a tap on the pane's bar button opens
    void render();

    // How long the first frame may wait for the desktop portal's answer.
    static constexpr int kPortalWaitMilliseconds = 100;

    SettingsOptions _options;
    UIWindow* _window = nullptr;
    UINavigationController* _navigation = nullptr;
    EntryListController* _entryList = nullptr;
    QPointer<PSListController> _pane;
};
