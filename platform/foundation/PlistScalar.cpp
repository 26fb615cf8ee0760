#include "PlistScalar.h"

#include <QByteArray>
#include <QtEndian>
#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// A binary list's header is 8 bytes, so its first object starts at offset 8.
constexpr int objectOffset = 8;
constexpr uint8_t dateMarker = 0x33;
constexpr uint8_t int64Marker = 0x13;
constexpr uint8_t int128Marker = 0x14;

const QDateTime& referenceDate() {
    static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return epoch;
}

bool inSupportedYears(const QDateTime& date) {
    const int year = date.toUTC().date().year();
    return year >= 1 && year <= 9999;
}

QByteArray binaryOf(plist_t node) {
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    QByteArray result(bytes, bytes ? qsizetype(length) : 0);
    std::free(bytes);
    return result;
}

// A binary list whose only object is `object`.
plist_t nodeFromObject(const QByteArray& object) {
    QByteArray bin("bplist00");
    bin.append(object);
    bin.append(char(objectOffset)); // offset table: one 1-byte entry
    QByteArray trailer(32, '\0');
    trailer[6] = 1; // offset size
    trailer[7] = 1; // reference size
    qToBigEndian<quint64>(1, trailer.data() + 8);
    qToBigEndian<quint64>(0, trailer.data() + 16);
    qToBigEndian<quint64>(quint64(objectOffset + object.size()), trailer.data() + 24);
    bin.append(trailer);
    plist_t node = nullptr;
    plist_from_bin(bin.constData(), uint32_t(bin.size()), &node);
    return node;
}

} // namespace

std::optional<bool> PlistScalar::integerIsUnsigned(plist_t node) {
    if (plist_get_node_type(node) != PLIST_UINT)
        return std::nullopt;
    const QByteArray bin = binaryOf(node);
    if (bin.size() <= objectOffset)
        return std::nullopt;
    const uint8_t marker = uint8_t(bin[objectOffset]);
    if (marker == int128Marker)
        return true;
    if ((marker & 0xF0) == 0x10)
        return false;
    return std::nullopt;
}

std::optional<double> PlistScalar::dateSeconds(plist_t node) {
    if (plist_get_node_type(node) != PLIST_DATE)
        return std::nullopt;
    const QByteArray bin = binaryOf(node);
    if (bin.size() < objectOffset + 9 || uint8_t(bin[objectOffset]) != dateMarker)
        return std::nullopt;
    return qFromBigEndian<double>(bin.constData() + objectOffset + 1);
}

plist_t PlistScalar::newLargeUnsigned(quint64 value) {
    QByteArray object(17, '\0');
    object[0] = char(int128Marker);
    qToBigEndian<quint64>(value, object.data() + 9);
    return nodeFromObject(object);
}

plist_t PlistScalar::newDate(const QDateTime& date) {
    if (!date.isValid() || !inSupportedYears(date))
        return nullptr;
    QByteArray object(9, '\0');
    object[0] = char(dateMarker);
    qToBigEndian<double>(secondsFromDate(date), object.data() + 1);
    return nodeFromObject(object);
}

std::optional<QDateTime> PlistScalar::dateFromSeconds(double seconds) {
    // Years 1 to 9999 lie well within +-4e11 seconds of 2001.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 4e11)
        return std::nullopt;
    const qint64 msecs = qint64(std::llround(seconds * 1000.0));
    QDateTime date = referenceDate().addMSecs(msecs);
    if (!date.isValid() || !inSupportedYears(date))
        return std::nullopt;
    return date;
}

double PlistScalar::secondsFromDate(const QDateTime& date) {
    return double(referenceDate().msecsTo(date)) / 1000.0;
}
