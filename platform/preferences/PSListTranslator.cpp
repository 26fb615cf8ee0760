#include "preferences/PSListTranslator.h"

#include "foundation/NSBundle.h"

PSListTranslator::PSListTranslator(NSBundle* bundle, QString listTable)
    : _bundle(bundle), _listTable(std::move(listTable)) {}

QString PSListTranslator::translate(const QString& text, const QString& rowTable) {
    if (!_bundle || text.isEmpty())
        return text;
    const QString& table = rowTable.isEmpty() ? _listTable : rowTable;
    auto it = _tables.constFind(table);
    if (it == _tables.cend())
        it = _tables.insert(table, _bundle->localizedStringTable(table));
    return NSBundle::translate(*it, text, text);
}
