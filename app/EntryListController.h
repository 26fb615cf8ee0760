#pragma once

#include "SettingsEntry.h"

#include "uikit/UIViewController.h"

#include <QList>

// The Settings application's first page: the installed entries in one inset-grouped section.
class EntryListController : public UIViewController {
    Q_OBJECT
public:
    explicit EntryListController(QList<SettingsEntry> entries, QObject* parent = nullptr);
    void loadView() override;
    const QList<SettingsEntry>& entries() const { return _entries; }

signals:
    void entryChosen(const SettingsEntry& entry);

private:
    QWidget* makeSection(QWidget* parent);

    QList<SettingsEntry> _entries;
};
