#include "preferences/PSSpecifier.h"

#include "foundation/NSBundle.h"
#include "foundation/TextRules.h"
#include "foundation/XmlPropertyList.h"
#include "preferences/PSListController.h"
#include "preferences/PSListTranslator.h"
#include "preferences/PSTableCell.h"

#include <algorithm>

namespace {

const QString kCellKey = QStringLiteral("cell");

QString textOrEmpty(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// Kept rather than worked out per call: every table reload asks it of every row.
PSCellType cellTypeOf(const QVariantMap& properties) {
    return PSCellTypeFromString(textOrEmpty(properties.value(kCellKey)));
}

} // namespace

PSSpecifier::PSSpecifier(QObject* parent) : QObject(parent) {}

PSSpecifier::PSSpecifier(const QVariantMap& properties, PSListController* target, QObject* parent)
    : QObject(parent), _target(target) {
    // Shared rather than copied entry by entry when no entry needs setProperty's handling: a
    // row list makes thousands of these.
    const bool plain =
        std::none_of(properties.keyValueBegin(), properties.keyValueEnd(), [](const auto& entry) {
            return entry.first == PSTableCellKey || !entry.second.isValid();
        });
    if (plain) {
        _properties = properties;
        _cellType = cellTypeOf(_properties);
        return;
    }
    for (auto it = properties.begin(); it != properties.end(); ++it)
        setProperty(it.value(), it.key());
}

PSSpecifier::PSSpecifier(std::shared_ptr<const XmlPropertyList> list, int row,
                         PSListController* target, QObject* parent)
    : QObject(parent), _list(std::move(list)), _row(row), _target(target) {
    // Every table reload asks every row its kind: read without making a text of it.
    const int cell = _list->valueForKey(_row, kCellKey);
    if (const std::optional<QLatin1StringView> ascii =
            cell < 0 ? std::nullopt : _list->asciiText(cell))
        _cellType = PSCellTypeFromString(*ascii);
    else
        _cellType = PSCellTypeFromString(storedText(kCellKey));
}

PSSpecifier::~PSSpecifier() = default;

QVariant PSSpecifier::storedValue(const QString& key) const {
    if (!_list)
        return _properties.value(key);
    const int value = _list->valueForKey(_row, key);
    return value < 0 ? QVariant() : _list->value(value);
}

QString PSSpecifier::storedText(const QString& key) const {
    return textOrEmpty(storedValue(key));
}

void PSSpecifier::takeOwnProperties() {
    // The texts come from the properties as loaded, not as changed.
    translateTexts();
    if (!_list)
        return;
    _properties = _list->value(_row).toMap();
    // The list's own "cellObject" entry, if any, is no cell (see setProperty).
    _properties.remove(PSTableCellKey);
    _list.reset();
}

QVariant PSSpecifier::propertyForKey(const QString& key) const {
    if (key == PSTableCellKey)
        return _cell ? QVariant::fromValue<QObject*>(_cell.data()) : QVariant();
    return storedValue(key);
}

void PSSpecifier::setProperty(const QVariant& value, const QString& key) {
    if (key != PSTableCellKey)
        takeOwnProperties();
    if (key == PSTableCellKey) {
        _cell = qobject_cast<PSTableCell*>(value.value<QObject*>());
        return;
    }
    if (!value.isValid())
        _properties.remove(key);
    else
        _properties.insert(key, value);
    if (key == kCellKey)
        _cellType = cellTypeOf(_properties);
}

QVariantMap PSSpecifier::properties() const {
    QVariantMap all = _properties;
    if (_list) {
        all = _list->value(_row).toMap();
        all.remove(PSTableCellKey);
    }
    if (_cell)
        all.insert(PSTableCellKey, QVariant::fromValue<QObject*>(_cell.data()));
    return all;
}

PSListController* PSSpecifier::target() const {
    return _target.data();
}

QVariant PSSpecifier::performGetter() const {
    if (!_target)
        return QVariant();
    return _target->readPreferenceValue(const_cast<PSSpecifier*>(this));
}

void PSSpecifier::performSetterWithValue(const QVariant& value) {
    if (_target)
        _target->setPreferenceValue(value, this);
}

PSTableCell* PSSpecifier::cell() const {
    return _cell.data();
}

QString PSSpecifier::identifier() const {
    const QString id = storedText(QStringLiteral("id"));
    if (!id.isEmpty())
        return id;
    const QString key = storedText(QStringLiteral("key"));
    return key.isEmpty() ? name() : key;
}

void PSSpecifier::setTranslator(std::shared_ptr<PSListTranslator> translator) {
    _translator = std::move(translator);
}

void PSSpecifier::translateTexts() const {
    if (!_translator || _translated)
        return;
    _translated = true;
    PSListTranslator* translator = _translator.get();
    const QString table = storedText(QStringLiteral("localizationTable"));
    if (!_hasName) {
        const QVariant label = storedValue(QStringLiteral("label"));
        if (label.typeId() == QMetaType::QString) {
            _name = translator->translate(label.toString(), table);
            _hasName = true;
        } else if (TextRules::isNumber(label)) {
            _name = TextRules::decimalText(label);
            _hasName = true;
        }
    }
    const QString footer = _hasFooterText ? QString() : storedText(QStringLiteral("footerText"));
    if (!footer.isEmpty()) {
        _footerText = translator->translate(footer, table);
        _hasFooterText = true;
    }
}

QString PSSpecifier::localizedString(const QString& text) const {
    const QString table = storedText(QStringLiteral("localizationTable"));
    if (_translator)
        return _translator->translate(text, table);
    NSBundle* bundle = _target && _target->bundle() ? _target->bundle() : NSBundle::mainBundle();
    return bundle ? bundle->localizedStringForKey(text, text, table) : text;
}

QString PSSpecifier::name() const {
    translateTexts();
    return _hasName ? _name : storedText(QStringLiteral("label"));
}

void PSSpecifier::setName(const QString& name) {
    _name = name;
    _hasName = true;
}

QString PSSpecifier::footerText() const {
    translateTexts();
    return _hasFooterText ? _footerText : storedText(QStringLiteral("footerText"));
}

void PSSpecifier::setFooterText(const QString& text) {
    _footerText = text;
    _hasFooterText = true;
}

PSCellType PSSpecifier::cellType() const {
    return _cellType;
}

QString PSSpecifier::cellClassName() const {
    return storedText(QStringLiteral("cellClass"));
}
