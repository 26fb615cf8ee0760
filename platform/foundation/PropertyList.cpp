#include "PropertyList.h"

#include "PlistGuard.h"
#include "PlistValue.h"
#include "XmlPropertyList.h"

#include <QFile>
#include <QFileInfo>
#include <plist/plist.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <locale.h>

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

// libplist reads and writes reals with the C library, which follows LC_NUMERIC, and a Qt
// application takes LC_NUMERIC from the environment: "1.5" would read as 1 under a locale
// with a decimal comma. The C locale is put in force for this thread while libplist runs.
class CNumericScope {
public:
    CNumericScope() : _previous(uselocale(cLocale())) {}
    ~CNumericScope() { uselocale(_previous); }
    CNumericScope(const CNumericScope&) = delete;
    CNumericScope& operator=(const CNumericScope&) = delete;

private:
    static locale_t cLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        return c;
    }
    locale_t _previous;
};

} // namespace

std::optional<QVariant> PropertyList::parse(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > maxFileSize)
        return std::nullopt;
    if (!isBinary(bytes)) {
        if (const std::shared_ptr<const XmlPropertyList> list = XmlPropertyList::read(bytes))
            return list->value(0);
    }
    return parseWithLibplist(bytes);
}

std::optional<QVariant> PropertyList::parseWithLibplist(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > maxFileSize)
        return std::nullopt;
    CNumericScope cNumbers;
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

std::optional<QByteArray> PropertyList::readBytes(const QString& hostPath) {
    // Checked before opening: opening a pipe would wait for a writer.
    if (!QFileInfo(hostPath).isFile())
        return std::nullopt;
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Sized from the file rather than the limit: a read of the limit allocates all of it.
    const qint64 expected = file.size();
    if (expected > maxFileSize)
        return std::nullopt;
    QByteArray bytes(expected + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total <= maxFileSize) {
        if (total == bytes.size())
            bytes.resize(std::min<qint64>(bytes.size() * 2, maxFileSize + 1));
        const qint64 got = file.read(bytes.data() + total, bytes.size() - total);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        total += got;
    }
    if (total > maxFileSize)
        return std::nullopt;
    bytes.truncate(total);
    return bytes;
}

std::optional<QVariant> PropertyList::readFile(const QString& hostPath) {
    const std::optional<QByteArray> bytes = readBytes(hostPath);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
}

std::optional<QVariantMap> PropertyList::readDictionary(const QString& hostPath) {
    std::optional<QVariant> value = readFile(hostPath);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

QByteArray PropertyList::toXml(const QVariant& value) {
    CNumericScope cNumbers;
    NodeHolder root;
    root.node = PlistValue::toNode(value, PlistValue::DateForm::WholeSeconds);
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
