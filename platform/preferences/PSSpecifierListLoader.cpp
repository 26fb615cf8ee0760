#include "preferences/PSSpecifierListLoader.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "foundation/TextRules.h"
#include "foundation/XmlPropertyList.h"
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

// The row's label and footer, translated with the row's table or else the list's.
PSSpecifier* translated(PSSpecifier* specifier, ListTranslator& translate,
                        const QString& listTable) {
    const QString itemTable = textOf(specifier->propertyForKey(kLocalizationTable));
    const QString table = itemTable.isEmpty() ? listTable : itemTable;
    const QVariant label = specifier->propertyForKey(kLabel);
    if (label.typeId() == QMetaType::QString)
        specifier->setName(translate(label.toString(), table));
    else if (TextRules::isNumber(label))
        specifier->setName(TextRules::decimalText(label));
    const QString footer = textOf(specifier->propertyForKey(kFooterText));
    if (!footer.isEmpty())
        specifier->setFooterText(translate(footer, table));
    return specifier;
}

// The same as loadDictionary for a list read by XmlPropertyList, whose rows stay in it.
PSSpecifierListLoader::Result loadList(const std::shared_ptr<const XmlPropertyList>& list,
                                       NSBundle* bundle, PSListController* target, QObject* owner) {
    using Type = XmlPropertyList::Type;
    PSSpecifierListLoader::Result result;
    if (list->type(0) != Type::Dictionary)
        return result;
    const auto text = [&list](const QString& key) {
        const int value = list->valueForKey(0, key);
        return value < 0 ? QString() : textOf(list->value(value));
    };
    ListTranslator translate(bundle);
    const QString listTable = text(kLocalizationTable);
    const QString title = text(kTitle);
    if (!title.isEmpty())
        result.title = translate(title, listTable);
    const int items = list->valueForKey(0, kItems);
    if (items < 0 || list->type(items) != Type::Array)
        return result;
    for (int item = list->firstChild(items); item >= 0; item = list->nextChild(items, item)) {
        if (list->type(item) == Type::Dictionary)
            result.specifiers.append(
                translated(new PSSpecifier(list, item, target, owner), translate, listTable));
    }
    return result;
}

} // namespace

PSSpecifierListLoader::Result PSSpecifierListLoader::loadFile(const QString& hostPath,
                                                              NSBundle* bundle,
                                                              PSListController* target,
                                                              QObject* owner) {
    if (hostPath.isEmpty())
        return {};
    const std::optional<QByteArray> bytes = PropertyList::readBytes(hostPath);
    if (!bytes)
        return {};
    if (const std::shared_ptr<const XmlPropertyList> list = XmlPropertyList::read(*bytes))
        return loadList(list, bundle, target, owner);
    const std::optional<QVariant> parsed = PropertyList::parseWithLibplist(*bytes);
    if (!parsed || parsed->typeId() != QMetaType::QVariantMap)
        return {};
    return loadDictionary(parsed->toMap(), bundle, target, owner);
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
        result.specifiers.append(
            translated(new PSSpecifier(item.toMap(), target, owner), translate, listTable));
    }
    return result;
}
