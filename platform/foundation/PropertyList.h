#pragma once

#include "AtomicFile.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>

// Property lists as QVariant values: bool, qint64, quint64 (> INT64_MAX only), double,
// QString, QByteArray (data), QDateTime (date, UTC), QVariantList and QVariantMap.
class PropertyList {
public:
    // Preference and row-list files are small; anything larger than this is refused unread
    // rather than held in memory, and counts as "no property list".
    static constexpr qint64 maxFileSize = 64 * 1024 * 1024;

    // XML or binary; nullopt for anything malformed, hostile or unrepresentable. Plainly
    // written XML is read by XmlPropertyList, the rest by libplist behind PlistGuard's checks.
    static std::optional<QVariant> parse(const QByteArray& bytes);
    // The same, always through libplist: for bytes XmlPropertyList did not take.
    static std::optional<QVariant> parseWithLibplist(const QByteArray& bytes);
    // The bytes of a regular file of at most maxFileSize, read to its end even if it grew after
    // its size was taken; nullopt if it is missing, unreadable, not a regular file or larger.
    static std::optional<QByteArray> readBytes(const QString& hostPath);
    // nullopt if the file is missing, unreadable, not a regular file, empty, larger than
    // maxFileSize or no valid property list.
    static std::optional<QVariant> readFile(const QString& hostPath);
    // As readFile, and nullopt as well when the root is not a dictionary.
    static std::optional<QVariantMap> readDictionary(const QString& hostPath);
    // Empty if the value is not representable. Dates keep whole seconds in XML.
    static QByteArray toXml(const QVariant& value);
    // The dictionary as XML, through AtomicFile::replace.
    static FileWriteResult writeDictionary(const QVariantMap& dict, const QString& hostPath);
};
