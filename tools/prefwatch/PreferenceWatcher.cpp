#include "PreferenceWatcher.h"

#include "foundation/PropertyList.h"

#include <QDateTime>
#include <QSet>

PreferenceWatcher::PreferenceWatcher(QString hostPath) : _path(std::move(hostPath)) {
    _contents = PropertyList::readDictionary(_path).value_or(QVariantMap());
}

QStringList PreferenceWatcher::refresh() {
    const QVariantMap now = PropertyList::readDictionary(_path).value_or(QVariantMap());
    QStringList keys = _contents.keys() + now.keys();
    keys.removeDuplicates();
    keys.sort();

    QStringList lines;
    const QString absent = QStringLiteral("(none)");
    for (const QString& key : keys) {
        const bool before = _contents.contains(key), after = now.contains(key);
        if (before && after && _contents.value(key) == now.value(key))
            continue;
        lines << QStringLiteral("%1: %2 -> %3")
                     .arg(key, before ? describe(_contents.value(key)) : absent,
                          after ? describe(now.value(key)) : absent);
    }
    _contents = now;
    return lines;
}

QString PreferenceWatcher::describe(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QString:
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 9);
    case QMetaType::QByteArray:
        return QStringLiteral("<%1>").arg(QString::fromLatin1(value.toByteArray().toHex()));
    case QMetaType::QDateTime:
        return value.toDateTime().toUTC().toString(Qt::ISODate);
    case QMetaType::QVariantList: {
        QStringList items;
        for (const QVariant& item : value.toList())
            items << describe(item);
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    case QMetaType::QVariantMap: {
        QStringList items;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            items << it.key() + QStringLiteral(": ") + describe(it.value());
        return QLatin1Char('{') + items.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    default:
        return value.toString();
    }
}
