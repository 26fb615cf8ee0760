#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

// Builds binary property lists object by object, so tests can write lists that libplist
// would never produce: bad offsets, cycles, shared subtrees, odd markers.
class BinaryPlistBuilder {
public:
    int refSize = 2;
    int offsetSize = 4;
    quint64 root = 0;

    int add(const QByteArray& object) {
        _objects.append(object);
        return int(_objects.size() - 1);
    }
    QByteArray ref(quint64 index) const { return bigEndian(index, refSize); }
    QByteArray array(const QList<quint64>& refs) const { return container(0xA0, refs); }
    QByteArray dict(const QList<quint64>& keys, const QList<quint64>& values) const {
        return container(0xD0, keys + values, keys.size());
    }
    static QByteArray ascii(const QByteArray& text) { return marker(0x50, text.size()) + text; }
    static QByteArray date(double seconds) {
        QByteArray object(9, '\0');
        object[0] = char(0x33);
        qToBigEndian(seconds, object.data() + 1);
        return object;
    }

    // The whole list; a trailer count or table offset can be given to lie about the layout.
    QByteArray build(quint64 objectCount = ~quint64(0), quint64 tableOffset = ~quint64(0)) const {
        QByteArray bin("bplist00");
        QList<quint64> offsets;
        for (const QByteArray& object : _objects) {
            offsets.append(quint64(bin.size()));
            bin.append(object);
        }
        const quint64 table = quint64(bin.size());
        for (quint64 offset : offsets)
            bin.append(bigEndian(offset, offsetSize));
        QByteArray trailer(6, '\0');
        trailer.append(char(offsetSize)).append(char(refSize));
        trailer.append(
            bigEndian(objectCount == ~quint64(0) ? quint64(offsets.size()) : objectCount, 8));
        trailer.append(bigEndian(root, 8));
        trailer.append(bigEndian(tableOffset == ~quint64(0) ? table : tableOffset, 8));
        return bin + trailer;
    }

    static QByteArray bigEndian(quint64 value, int size) {
        QByteArray bytes(size, '\0');
        for (int i = size - 1; i >= 0; --i, value >>= 8)
            bytes[i] = char(value & 0xFF);
        return bytes;
    }

private:
    static QByteArray marker(int type, qsizetype count) {
        if (count < 15)
            return QByteArray(1, char(type | int(count)));
        return QByteArray(1, char(type | 0x0F)) + QByteArray(1, char(0x13)) +
               bigEndian(quint64(count), 8);
    }
    QByteArray container(int type, const QList<quint64>& refs, qsizetype count = -1) const {
        QByteArray object = marker(type, count < 0 ? refs.size() : count);
        for (quint64 r : refs)
            object.append(ref(r));
        return object;
    }

    QList<QByteArray> _objects;
};
