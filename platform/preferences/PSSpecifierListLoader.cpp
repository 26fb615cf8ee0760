#include "preferences/PSSpecifierListLoader.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "foundation/TextRules.h"
#include "preferences/PSSpecifier.h"

namespace {

const QString kItems = QStringLiteral("items");
const QString kTitle = QStringLiteral("title");
const QString kLabel = QStringLiteral("label");
const QString kFooterText = QStringLiteral("footerText");
const QString kLocalizationTable = QStringLiteral("localizationTable");

QString textOf(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// Translates the texts of one list: each table is looked up once per load, not once per row.
class ListTranslator {
public:
    explicit ListTranslator(NSBundle* bundle) : _bundle(bundle) {}

    QString operator()(const QString& text, const QString& table) {
        if (!_bundle || text.isEmpty())
            return text;
        auto it = _tables.constFind(table);
        if (it == _tables.cend())
            it = _tables.insert(table, _bundle->localizedStringTable(table));
        return NSBundle::translate(*it, text, text);
    }

private:
    NSBundle* _bundle;
    QHash<QString, QHash<QString, QString>> _tables;
};

PSSpecifier* makeSpecifier(const QVariantMap& item, ListTranslator& translate,
                           const QString& listTable, PSListController* target, QObject* owner) {
    auto* specifier = new PSSpecifier(item, target, owner);
    const QString itemTable = textOf(item.value(kLocalizationTable));
    const QString table = itemTable.isEmpty() ? listTable : itemTable;
    specifier->setLocalizationTable(table);
    const QVariant label = item.value(kLabel);
    if (label.typeId() == QMetaType::QString)
        specifier->setName(translate(label.toString(), table));
    else if (TextRules::isNumber(label))
        specifier->setName(TextRules::decimalText(label));
    const QString footer = textOf(item.value(kFooterText));
    if (!footer.isEmpty())
        specifier->setFooterText(translate(footer, table));
    return specifier;
}

} // namespace

PSSpecifierListLoader::Result PSSpecifierListLoader::loadFile(const QString& hostPath,
                                                              NSBundle* bundle,
                                                              PSListController* target,
                                                              QObject* owner) {
    if (hostPath.isEmpty())
        return {};
    const std::optional<QVariantMap> list = PropertyList::readDictionary(hostPath);
    if (!list)
        return {};
    return loadDictionary(*list, bundle, target, owner);
}

PSSpecifierListLoader::Result PSSpecifierListLoader::loadDictionary(const QVariantMap& list,
                                                                    NSBundle* bundle,
                                                                    PSListController* target,
                                                                    QObject* owner) {
    Result result;
    ListTranslator translate(bundle);
    const QString listTable = textOf(list.value(kLocalizationTable));
    const QString title = textOf(list.value(kTitle));
    if (!title.isEmpty())
        result.title = translate(title, listTable);
    const QVariant items = list.value(kItems);
    if (items.typeId() != QMetaType::QVariantList)
        return result;
    // Iterated as const: a temporary list would be copied item by item on its first access.
    const QVariantList rows = items.toList();
    result.specifiers.reserve(rows.size());
    for (const QVariant& item : rows) {
        if (item.typeId() != QMetaType::QVariantMap)
            continue;
        result.specifiers.append(makeSpecifier(item.toMap(), translate, listTable, target, owner));
    }
    return result;
}
