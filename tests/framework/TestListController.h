#pragma once

#include "framework/QEVRootListController.h"

#include "preferences/PSSpecifier.h"

#include <QHash>
#include <QVariant>

// A list controller that keeps values in memory, by each row's "key", and counts the height
// queries the table makes, so tests can see when the table recomputes its rows.
class TestListController : public QEVRootListController {
public:
    QHash<QString, QVariant> stored;
    int heightQueries = 0;

    QVariant readPreferenceValue(PSSpecifier* specifier) override {
        const QString key = specifier->propertyForKey("key").toString();
        const auto found = stored.constFind(key);
        return found != stored.cend() ? found.value() : specifier->propertyForKey("default");
    }
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override {
        stored.insert(specifier->propertyForKey("key").toString(), value);
        QEVRootListController::setPreferenceValue(value, specifier);
    }
    double heightForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        ++heightQueries;
        return QEVRootListController::heightForRowAtIndexPath(tableView, indexPath);
    }

    // The list index of every specifier of every group, for comparing with expectations.
    QMap<quint64, QList<int>> groupIndices() {
        QMap<quint64, QList<int>> result;
        const QList<PSSpecifier*> list = specifiers();
        if (!dynamicSpecifiers())
            return result;
        for (auto it = dynamicSpecifiers()->cbegin(); it != dynamicSpecifiers()->cend(); ++it) {
            QList<int>& indices = result[it.key()];
            for (PSSpecifier* member : it.value())
                indices.append(int(list.indexOf(member)));
        }
        return result;
    }

    double heightOf(int listIndex) {
        PSSpecifier* specifier = specifiers().at(listIndex);
        const std::optional<NSIndexPath> path = indexPathForSpecifier(specifier);
        return path ? heightForRowAtIndexPath(table(), *path) : -1.0;
    }
};
