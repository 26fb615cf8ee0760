#pragma once

#include "SettingsEntry.h"

#include "uikit/UIViewController.h"

#include <QList>

// The Settings application's first page: the installed entries in one inset-grouped section.
class EntryListController : public UIViewController {
    Q_OBJECT
public:
    // `emptyText` is what the page says when there are no entries.
    EntryListController(QList<SettingsEntry> entries, QString emptyText, QObject* parent = nullptr);
    void loadView() override;
    const QList<SettingsEntry>& entries() const { return _entries; }
    // Whether the host speaks Chinese: its own texts follow the user's first language, as the
    // panes' rows do.
    static bool speaksChinese();

signals:
    void entryChosen(const SettingsEntry& entry);

private:
    QWidget* makeSection(QWidget* parent);

    QList<SettingsEntry> _entries;
    QString _emptyText;
};
