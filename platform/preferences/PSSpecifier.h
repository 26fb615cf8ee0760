#pragma once

#include "preferences/PSCellType.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class PSListController;
class PSListTranslator;
class PSTableCell;
class XmlPropertyList;

// The key under which a specifier holds the cell that shows its row.
inline const QString PSTableCellKey = QStringLiteral("cellObject");

// One row of a list: its properties from the row list, the controller that reads and stores
// its value, and the cell that shows it once one is made.
class PSSpecifier : public QObject {
    Q_OBJECT
public:
    explicit PSSpecifier(QObject* parent = nullptr);
    PSSpecifier(const QVariantMap& properties, PSListController* target, QObject* parent = nullptr);
    // A row of an XML row list, `row` being its dictionary in `list`. Its properties are read
    // from the list when asked for, and made into a map of their own at the first change, so a
    // long list costs no Qt values for rows nobody looks at.
    PSSpecifier(std::shared_ptr<const XmlPropertyList> list, int row, PSListController* target,
                QObject* parent = nullptr);
    ~PSSpecifier() override;

    // PSTableCellKey gives the cell as a QObject*, or an invalid value while there is none.
    QVariant propertyForKey(const QString& key) const;
    // An invalid value removes the key; under PSTableCellKey only a PSTableCell is kept.
    void setProperty(const QVariant& value, const QString& key);
    QVariantMap properties() const;

    PSListController* target() const;

    // Routed to the target; invalid / nothing when the specifier has no target.
    QVariant performGetter() const;
    void performSetterWithValue(const QVariant& value);

    PSTableCell* cell() const;

    // "id" if it is a text, else "key" if it is a text, else the name.
    QString identifier() const;
    // The row's title: a text "label" translated (with its "localizationTable", else the
    // list's), a number "label" as text; else what setName set, else "label" itself.
    QString name() const;
    void setName(const QString& name);
    // A group's footer: "footerText" translated like the label; else "footerText" itself.
    QString footerText() const;
    void setFooterText(const QString& text);
    // The loader's: the texts are translated when first asked for, from the properties as
    // loaded.
    void setTranslator(std::shared_ptr<PSListTranslator> translator);
    // `text` translated as the row's own texts are (its "localizationTable", else its list's);
    // `text` itself where nothing translates it. For the texts a row's cell adds of its own,
    // such as the names a screen reader reads.
    QString localizedString(const QString& text) const;

    PSCellType cellType() const;
    QString cellClassName() const;

private:
    QVariant storedValue(const QString& key) const;
    QString storedText(const QString& key) const;
    void takeOwnProperties();
    void translateTexts() const;

    QVariantMap _properties;
    // While set, the properties are those of the row `_row` in `_list`.
    std::shared_ptr<const XmlPropertyList> _list;
    int _row = -1;
    QPointer<PSListController> _target;
    QPointer<PSTableCell> _cell;
    // Set by setName/setFooterText or, on first use, by the translator.
    mutable std::shared_ptr<PSListTranslator> _translator;
    mutable bool _translated = false; // the translator stays for localizedString
    mutable QString _name;
    mutable bool _hasName = false;
    mutable QString _footerText;
    mutable bool _hasFooterText = false;
    PSCellType _cellType = PSListItemCell; // what PSCellTypeFromString gives for no name
};
