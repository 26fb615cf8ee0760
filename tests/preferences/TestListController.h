#pragma once

#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSSpecifierListLoader.h"
#include "preferences/UITableView.h"

#include <QApplication>
#include <QHash>
#include <QTest>
#include <QVariantMap>

// A list controller over rows given in memory, with an in-memory store; it records what the
// table asks of it.
class TestListController : public PSListController {
public:
    explicit TestListController(const QVariantList& items) { setItems(items); }

    void setItems(const QVariantList& items) {
        const QVariantMap list{{QStringLiteral("items"), items}};
        _specifiers = PSSpecifierListLoader::loadDictionary(list, nullptr, this, this).specifiers;
    }

    QVariant readPreferenceValue(PSSpecifier* specifier) override {
        const QString key = specifier->propertyForKey(QStringLiteral("key")).toString();
        if (store.contains(key))
            return store.value(key);
        return PSListController::readPreferenceValue(specifier);
    }
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override {
        PSListController::setPreferenceValue(value, specifier);
        store.insert(specifier->propertyForKey(QStringLiteral("key")).toString(), value);
        ++storedCount;
    }
    double heightForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        heightsAsked.append(indexPath);
        PSSpecifier* specifier = specifierAtIndexPath(indexPath);
        if (specifier && heightOverrides.contains(specifier->identifier()))
            return heightOverrides.value(specifier->identifier());
        return PSListController::heightForRowAtIndexPath(tableView, indexPath);
    }
    PSTableCell* cellForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        cellsAsked.append(indexPath);
        return PSListController::cellForRowAtIndexPath(tableView, indexPath);
    }
    int tableViewStyle() override { return UITableView::InsetGrouped; }
    void viewDidLoad() override {
        PSListController::viewDidLoad();
        lifecycle.append(QStringLiteral("didLoad"));
    }
    void viewWillAppear(bool animated) override {
        PSListController::viewWillAppear(animated);
        lifecycle.append(QStringLiteral("willAppear"));
    }
    void viewWillDisappear(bool animated) override {
        PSListController::viewWillDisappear(animated);
        lifecycle.append(QStringLiteral("willDisappear"));
    }
    void scrollViewDidScroll(UITableView* scrollView) override {
        scrolledOffsets.append(scrollView->contentOffset().y());
    }

    // Shows the table as a window of the given size and waits until it is on screen.
    UITableView* showTable(int width = 390, int height = 600) {
        QWidget* v = view();
        v->resize(width, height);
        v->show();
        v->activateWindow();
        if (!QTest::qWaitForWindowExposed(v))
            return nullptr;
        return table();
    }

    QVariantMap store;
    int storedCount = 0;
    QList<NSIndexPath> heightsAsked;
    QList<NSIndexPath> cellsAsked;
    QHash<QString, double> heightOverrides; // by identifier
    QList<double> scrolledOffsets;
    QStringList lifecycle;
};

inline QVariantMap row(const QString& cell, const QString& label, const QString& key = {},
                       const QVariantMap& more = {}) {
    QVariantMap item = more;
    item.insert(QStringLiteral("cell"), cell);
    item.insert(QStringLiteral("label"), label);
    if (!key.isEmpty())
        item.insert(QStringLiteral("key"), key);
    return item;
}
