#include "BinaryPlistScanner.h"

#include <algorithm>

namespace {

constexpr uint64_t headerSize = 8;
constexpr uint64_t trailerSize = 32;

enum : uint8_t { Unvisited = 0, Open = 1, Done = 2 };

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// Bytes a scalar takes after its marker, or -1 for an unknown marker. Lengths that follow the
// marker (data, strings) are handled by the caller.
int64_t fixedScalarSize(uint8_t marker) {
    const int high = marker >> 4, low = marker & 0x0F;
    switch (high) {
    case 0x0:
        return (marker == 0x00 || marker == 0x08 || marker == 0x09 || marker == 0x0F) ? 0 : -1;
    case 0x1:
        return low <= 4 ? int64_t(1) << low : -1;
    case 0x2:
        return (low == 2 || low == 3) ? int64_t(1) << low : -1;
    case 0x3:
        return marker == 0x33 ? 8 : -1;
    case 0x8:
        return low + 1;
    default:
        return -1;
    }
}

} // namespace

BinaryPlistScanner::BinaryPlistScanner(const QByteArray& bytes, int maxDepth, uint64_t maxValues)
    : _bytes(bytes), _size(uint64_t(bytes.size())), _maxDepth(maxDepth), _maxValues(maxValues) {}

bool BinaryPlistScanner::isSafe() {
    return readTrailer() && readObjects() && keysAreStrings() && walk();
}

uint64_t BinaryPlistScanner::readUInt(uint64_t at, int size) const {
    uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | uint8_t(_bytes[qsizetype(at) + i]);
    return value;
}

bool BinaryPlistScanner::readTrailer() {
    if (_size < headerSize + 1 + trailerSize || !_bytes.startsWith("bplist00"))
        return false;
    const uint64_t at = _size - trailerSize;
    _trailer.offsetSize = uint8_t(_bytes[qsizetype(at) + 6]);
    _trailer.refSize = uint8_t(_bytes[qsizetype(at) + 7]);
    _trailer.objectCount = readUInt(at + 8, 8);
    _trailer.rootObject = readUInt(at + 16, 8);
    _trailer.tableOffset = readUInt(at + 24, 8);
    const Trailer& t = _trailer;
    if (t.offsetSize < 1 || t.offsetSize > 8 || t.refSize < 1 || t.refSize > 8)
        return false;
    if (t.objectCount == 0 || t.rootObject >= t.objectCount || t.tableOffset < headerSize ||
        t.tableOffset >= at)
        return false;
    // The offset table lies between the objects and the trailer.
    return t.objectCount <= (at - t.tableOffset) / uint64_t(t.offsetSize);
}

bool BinaryPlistScanner::readObjects() {
    _objects.resize(qsizetype(_trailer.objectCount));
    for (uint64_t i = 0; i < _trailer.objectCount; ++i) {
        const uint64_t offset =
            readUInt(_trailer.tableOffset + i * uint64_t(_trailer.offsetSize), _trailer.offsetSize);
        if (offset < headerSize || offset >= _trailer.tableOffset)
            return false;
        if (!readObject(offset, _objects[qsizetype(i)]))
            return false;
    }
    return true;
}

// Reads the count that follows a data, string or container marker: the low nibble, or an
// integer object after it when the nibble is 0xF. `at` moves past what was read.
bool BinaryPlistScanner::readCount(uint64_t& at, int marker, uint64_t& count) const {
    count = uint64_t(marker & 0x0F);
    if (count != 0x0F)
        return true;
    if (at >= _trailer.tableOffset)
        return false;
    const uint8_t intMarker = uint8_t(_bytes[qsizetype(at)]);
    if ((intMarker >> 4) != 0x1 || (intMarker & 0x0F) > 3)
        return false;
    const int size = 1 << (intMarker & 0x0F);
    if (at + 1 + uint64_t(size) > _trailer.tableOffset)
        return false;
    count = readUInt(at + 1, size);
    at += 1 + uint64_t(size);
    return true;
}

bool BinaryPlistScanner::readObject(uint64_t offset, Object& object) const {
    const uint8_t marker = uint8_t(_bytes[qsizetype(offset)]);
    const uint64_t end = _trailer.tableOffset;
    uint64_t at = offset + 1;
    const int high = marker >> 4;
    uint64_t count = 0;
    uint64_t length = 0;
    if (high == 0x4 || high == 0x5 || high == 0x6 || high == 0xA || high == 0xC || high == 0xD) {
        if (!readCount(at, marker, count))
            return false;
        const uint64_t unit = high == 0x6                  ? 2
                              : high == 0x4 || high == 0x5 ? 1
                              : high == 0xD                ? 2 * uint64_t(_trailer.refSize)
                                                           : uint64_t(_trailer.refSize);
        if (count > (end - at) / unit)
            return false;
        length = count * unit;
        if (high >= 0xA) {
            object.refsAt = at;
            object.refCount = high == 0xD ? 2 * count : count;
            object.isDict = high == 0xD;
        }
        // libplist cuts strings at a NUL (and asserts on such keys): refuse rather than
        // read a shortened text.
        object.isString = high == 0x5 || high == 0x6;
        if (object.isString && hasNul(at, length, high == 0x6 ? 2 : 1))
            return false;
    } else {
        const int64_t size = fixedScalarSize(marker);
        if (size < 0)
            return false;
        length = uint64_t(size);
    }
    return length <= end - at;
}

// Whether [at, at + length) holds a zero unit of `unit` bytes.
bool BinaryPlistScanner::hasNul(uint64_t at, uint64_t length, int unit) const {
    for (uint64_t i = 0; i + uint64_t(unit) <= length; i += uint64_t(unit)) {
        if (readUInt(at + i, unit) == 0)
            return true;
    }
    return false;
}

bool BinaryPlistScanner::keysAreStrings() const {
    for (const Object& object : _objects) {
        if (!object.isDict)
            continue;
        for (uint64_t i = 0; i < object.refCount / 2; ++i) {
            const uint64_t ref =
                readUInt(object.refsAt + i * uint64_t(_trailer.refSize), _trailer.refSize);
            if (ref >= uint64_t(_objects.size()) || !_objects[qsizetype(ref)].isString)
                return false;
        }
    }
    return true;
}

// Depth-first over the references, with an explicit stack: rejects cycles, nesting deeper
// than _maxDepth and expanded trees larger than _maxValues.
bool BinaryPlistScanner::walk() {
    const qsizetype n = _objects.size();
    QVector<uint8_t> state(n, Unvisited);
    QVector<int> height(n, 0);
    QVector<uint64_t> expanded(n, 1);
    struct Frame {
        qsizetype object;
        uint64_t next;
    };
    QVector<Frame> stack{{qsizetype(_trailer.rootObject), 0}};
    state[stack.first().object] = Open;
    while (!stack.isEmpty()) {
        Frame& frame = stack.last();
        const Object& object = _objects[frame.object];
        if (frame.next == object.refCount) {
            state[frame.object] = Done;
            stack.removeLast();
            continue;
        }
        const uint64_t ref =
            readUInt(object.refsAt + frame.next * uint64_t(_trailer.refSize), _trailer.refSize);
        if (ref >= uint64_t(n) || state[qsizetype(ref)] == Open)
            return false;
        const qsizetype child = qsizetype(ref);
        if (state[child] == Unvisited) {
            if (stack.size() > _maxDepth)
                return false;
            state[child] = Open;
            stack.append({child, 0});
            continue; // the same reference is read again, and folded in, once the child is done
        }
        ++frame.next;
        height[frame.object] = std::max(height[frame.object], height[child] + 1);
        expanded[frame.object] = saturatingAdd(expanded[frame.object], expanded[child]);
        if (height[frame.object] > _maxDepth || expanded[frame.object] > _maxValues)
            return false;
    }
    return true;
}
