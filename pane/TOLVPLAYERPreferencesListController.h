#pragma once

#include "framework/QEVRootListController.h"
#include "pane/PreferenceStore.h"

#include <optional>

// The pane's principal controller. This part is its store: rows from "Root", values read from
// and written to the add-on's preference file, and the reload notification after each change.
class TOLVPLAYERPreferencesListController : public QEVRootListController {
    Q_OBJECT
public:
    static const QString kPreferencesPath;    // device path of the preference file
    static const QString kReloadNotification; // Darwin notification after every stored change

    explicit TOLVPLAYERPreferencesListController(QObject* parent = nullptr);

    QList<PSSpecifier*> specifiers() override;
    int tableViewStyle() override;

    // The stored entry, as stored (false, 0 and "" included); else the row's "default"; else
    // null. The file is reread on every call.
    QVariant readPreferenceValue(PSSpecifier* specifier) override;

    // Read the file, set the entry, write it atomically, let the base re-lay the rows out, then
    // announce the change. A write that fails is announced to nobody but stderr. A row without a
    // text "key", or a null value, writes nothing and posts nothing; the base is still called so
    // the row heights stay consistent with the file.
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override;

    // The row's entry key: its "key" property when that is a text.
    static std::optional<QString> entryKey(PSSpecifier* specifier);

private:
    bool storeValue(const QVariant& value, PSSpecifier* specifier);

    PreferenceStore _store;
};
