#include "preferences/PSSpecifierListLoader.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "foundation/XmlPropertyList.h"
#include "preferences/PSListTranslator.h"
#include "preferences/PSSpecifier.h"

namespace {

const QString kItems = QStringLiteral("items");
const QString kTitle = QStringLiteral("title");
const QString kLocalizationTable = QStringLiteral("localizationTable");

QString textOf(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
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
    const auto translator = std::make_shared<PSListTranslator>(bundle, text(kLocalizationTable));
    const QString title = text(kTitle);
    if (!title.isEmpty())
        result.title = translator->translate(title, {});
    const int items = list->valueForKey(0, kItems);
    if (items < 0 || list->type(items) != Type::Array)
        return result;
    for (int item = list->firstChild(items); item >= 0; item = list->nextChild(items, item)) {
        if (list->type(item) != Type::Dictionary)
            continue;
        auto* specifier = new PSSpecifier(list, item, target, owner);
        specifier->setTranslator(translator);
        result.specifiers.append(specifier);
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
    const auto translator =
        std::make_shared<PSListTranslator>(bundle, textOf(list.value(kLocalizationTable)));
    const QString title = textOf(list.value(kTitle));
    if (!title.isEmpty())
        result.title = translator->translate(title, {});
    const QVariant items = list.value(kItems);
    if (items.typeId() != QMetaType::QVariantList)
        return result;
    // Iterated as const: a temporary list would be copied item by item on its first access.
    const QVariantList rows = items.toList();
    result.specifiers.reserve(rows.size());
    for (const QVariant& item : rows) {
        if (item.typeId() != QMetaType::QVariantMap)
            continue;
        auto* specifier = new PSSpecifier(item.toMap(), target, owner);
        specifier->setTranslator(translator);
        result.specifiers.append(specifier);
    }
    return result;
}
