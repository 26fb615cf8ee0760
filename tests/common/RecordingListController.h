#pragma once

#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSSpecifierListLoader.h"

#include <QList>
#include <QVariantMap>

// Where a recording list controller keeps values: in memory by each row's "key" (a row with
// nothing stored reads its "default", as the host's does), or wherever its base keeps them
// (the pane: its preference file).
enum class ValuesKept { InMemory, ByTheBase };

// A list controller that records what it is asked: every write, every height query and every
// cell made. `Base` is the controller under test: the host's PSListController or a subclass
// such as the pane's QEVRootListController.
template <typename Base = PSListController, ValuesKept values = ValuesKept::InMemory>
class RecordingListController : public Base {
public:
    QVariantMap stored;
    QVariantList writes;
    int heightQueries = 0;
    int cellsMade = 0;

    // Rows given in memory, in place of a row list read from the bundle.
    void setItems(const QVariantList& items) {
        this->_specifiers = PSSpecifierListLoader::loadDictionary(QVariantMap{{"items", items}},
                                                                  nullptr, this, this)
                                .specifiers;
    }

    QVariant readPreferenceValue(PSSpecifier* specifier) override {
        const QString key = specifier->propertyForKey("key").toString();
        if (values == ValuesKept::InMemory && stored.contains(key))
            return stored.value(key);
        return Base::readPreferenceValue(specifier);
    }
    // Kept before the base hears of it, so whatever the base reads next sees the new value.
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override {
        writes.append(value);
        if (values == ValuesKept::InMemory)
            stored.insert(specifier->propertyForKey("key").toString(), value);
        Base::setPreferenceValue(value, specifier);
    }
    double heightForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        ++heightQueries;
        return Base::heightForRowAtIndexPath(tableView, indexPath);
    }
    PSTableCell* cellForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        ++cellsMade;
        return Base::cellForRowAtIndexPath(tableView, indexPath);
    }

    // The height of the row at `listIndex` in the list, as the table would ask it; -1 for a
    // row the table does not show (a group row).
    double heightOf(int listIndex) {
        const auto path = this->indexPathForSpecifier(this->specifiers().at(listIndex));
        return path ? this->heightForRowAtIndexPath(this->table(), *path) : -1.0;
    }
};
