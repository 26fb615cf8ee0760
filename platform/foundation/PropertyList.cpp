#include "PropertyList.h"

#include "PlistGuard.h"
#include "PlistValue.h"

#include <QFile>
#include <QFileInfo>
#include <plist/plist.h>

#include <cstdlib>

namespace {

struct NodeHolder {
    plist_t node = nullptr;
    ~NodeHolder() {
        if (node)
            plist_free(node);
    }
};

bool isBinary(const QByteArray& bytes) {
    return bytes.startsWith("bplist00");
}

} // namespace

std::optional<QVariant> PropertyList::parse(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > maxFileSize)
        return std::nullopt;
    NodeHolder root;
    const uint32_t length = uint32_t(bytes.size());
    if (isBinary(bytes)) {
        if (!PlistGuard::binaryIsSafe(bytes))
            return std::nullopt;
        plist_from_bin(bytes.constData(), length, &root.node);
    } else {
        if (!PlistGuard::xmlIsSafe(bytes))
            return std::nullopt;
        plist_from_xml(bytes.constData(), length, &root.node);
    }
    if (!root.node)
        return std::nullopt;
    return PlistValue::fromNode(root.node);
}

std::optional<QVariant> PropertyList::readFile(const QString& hostPath) {
    const QFileInfo info(hostPath);
    if (!info.isFile() || info.size() <= 0 || info.size() > maxFileSize)
        return std::nullopt;
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The size may change between the check and the read; never read past the limit.
    const QByteArray bytes = file.read(maxFileSize + 1);
    return parse(bytes);
}

std::optional<QVariantMap> PropertyList::readDictionary(const QString& hostPath) {
    std::optional<QVariant> value = readFile(hostPath);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

QByteArray PropertyList::toXml(const QVariant& value) {
    NodeHolder root;
    root.node = PlistValue::toNode(value);
    if (!root.node)
        return {};
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.node, &xml, &length);
    QByteArray result(xml, xml ? qsizetype(length) : 0);
    std::free(xml);
    return result;
}

FileWriteResult PropertyList::writeDictionary(const QVariantMap& dict, const QString& hostPath) {
    const QByteArray xml = toXml(dict);
    if (xml.isEmpty())
        return FileWriteResult{false, QStringLiteral("serialise: value not representable")};
    return AtomicFile::replace(hostPath, xml);
}
