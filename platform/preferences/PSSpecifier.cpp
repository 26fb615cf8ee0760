#include "preferences/PSSpecifier.h"

#include "foundation/NSBundle.h"
#include "preferences/PSListController.h"
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

QVariant PSSpecifier::propertyForKey(const QString& key) const {
    if (key == PSTableCellKey)
        return _cell ? QVariant::fromValue<QObject*>(_cell.data()) : QVariant();
    return _properties.value(key);
}

void PSSpecifier::setProperty(const QVariant& value, const QString& key) {
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

void PSSpecifier::removePropertyForKey(const QString& key) {
    setProperty(QVariant(), key);
}

QVariantMap PSSpecifier::properties() const {
    QVariantMap all = _properties;
    if (_cell)
        all.insert(PSTableCellKey, QVariant::fromValue<QObject*>(_cell.data()));
    return all;
}

PSListController* PSSpecifier::target() const {
    return _target.data();
}

void PSSpecifier::setTarget(PSListController* target) {
    _target = target;
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
    const QString id = textOrEmpty(_properties.value(QStringLiteral("id")));
    if (!id.isEmpty())
        return id;
    const QString key = textOrEmpty(_properties.value(QStringLiteral("key")));
    return key.isEmpty() ? name() : key;
}

QString PSSpecifier::name() const {
    return _hasName ? _name : textOrEmpty(_properties.value(QStringLiteral("label")));
}

void PSSpecifier::setName(const QString& name) {
    _name = name;
    _hasName = true;
}

QString PSSpecifier::footerText() const {
    return _hasFooterText ? _footerText
                          : textOrEmpty(_properties.value(QStringLiteral("footerText")));
}

void PSSpecifier::setFooterText(const QString& text) {
    _footerText = text;
    _hasFooterText = true;
}

QString PSSpecifier::localizationTable() const {
    const QString own = textOrEmpty(_properties.value(QStringLiteral("localizationTable")));
    return own.isEmpty() ? _localizationTable : own;
}

void PSSpecifier::setLocalizationTable(const QString& table) {
    _localizationTable = table;
}

QString PSSpecifier::localizedString(const QString& text) const {
    NSBundle* bundle = _target && _target->bundle() ? _target->bundle() : NSBundle::mainBundle();
    return bundle ? bundle->localizedStringForKey(text, text, localizationTable()) : text;
}

PSCellType PSSpecifier::cellType() const {
    return _cellType;
}

QString PSSpecifier::cellClassName() const {
    return textOrEmpty(_properties.value(QStringLiteral("cellClass")));
}
