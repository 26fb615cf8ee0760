#pragma once

#include "preferences/PSCellType.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class PSListController;
class PSTableCell;

// The key under which a specifier holds the cell that shows its row.
inline const QString PSTableCellKey = QStringLiteral("cellObject");

// One row of a list: its properties from the row list, the controller that reads and stores
// its value, and the cell that shows it once one is made.
class PSSpecifier : public QObject {
    Q_OBJECT
public:
    explicit PSSpecifier(QObject* parent = nullptr);
    PSSpecifier(const QVariantMap& properties, PSListController* target, QObject* parent = nullptr);

    // PSTableCellKey gives the cell as a QObject*, or an invalid value while there is none.
    QVariant propertyForKey(const QString& key) const;
    // An invalid value removes the key; under PSTableCellKey only a PSTableCell is kept.
    void setProperty(const QVariant& value, const QString& key);
    void removePropertyForKey(const QString& key);
    QVariantMap properties() const;

    PSListController* target() const;
    void setTarget(PSListController* target);

    // Routed to the target; invalid / nothing when the specifier has no target.
    QVariant performGetter() const;
    void performSetterWithValue(const QVariant& value);

    PSTableCell* cell() const;

    // "id" if it is a text, else "key" if it is a text, else the name.
    QString identifier() const;
    // The row's title: the translated "label" the loader set, else "label" itself.
    QString name() const;
    void setName(const QString& name);
    // A group's footer, translated by the loader; else "footerText" itself.
    QString footerText() const;
    void setFooterText(const QString& text);
    // The strings table the row's texts come from: its own "localizationTable", else its
    // list's, as the loader set it.
    QString localizationTable() const;
    void setLocalizationTable(const QString& table);
    // `text` through that table of the target's bundle (else the main bundle); `text` itself
    // where nothing translates it.
    QString localizedString(const QString& text) const;

    PSCellType cellType() const;
    QString cellClassName() const;

private:
    QVariantMap _properties;
    QPointer<PSListController> _target;
    QPointer<PSTableCell> _cell;
    QString _name;
    bool _hasName = false;
    QString _footerText;
    bool _hasFooterText = false;
    QString _localizationTable;
    PSCellType _cellType = PSCellTypeFromString(QString());
};
