#pragma once

#include <QByteArray>
#include <QVector>
#include <cstdint>

// Structural check of a binary property list before libplist 2.2 parses it. libplist recurses
// once per nesting level (a deep list overflows the stack before its own cycle check runs)
// and copies every shared object, so a few kilobytes of mutually shared arrays expand into
// billions of values. This scanner walks the object graph without recursion and accepts it
// only if every offset, length and reference lies inside the buffer, no string holds a NUL
// (libplist would cut it short), every dictionary key is a string, no object contains itself, the
// nesting is at most `maxDepth` and the expanded tree has at most `maxValues`.
class BinaryPlistScanner {
public:
    BinaryPlistScanner(const QByteArray& bytes, int maxDepth, uint64_t maxValues);
    bool isSafe();

private:
    struct Trailer {
        int offsetSize = 0;
        int refSize = 0;
        uint64_t objectCount = 0;
        uint64_t rootObject = 0;
        uint64_t tableOffset = 0;
    };
    struct Object {
        uint64_t refsAt = 0;   // where a container's references start
        uint64_t refCount = 0; // 0 for scalars
        bool isDict = false;
        bool isString = false;
    };

    bool readTrailer();
    bool readObjects();
    bool readObject(uint64_t offset, Object& object) const;
    bool readCount(uint64_t& at, int marker, uint64_t& count) const;
    bool keysAreStrings() const;
    bool walk();
    uint64_t readUInt(uint64_t at, int size) const;
    bool hasNul(uint64_t at, uint64_t length, int unit) const;

    const QByteArray& _bytes;
    const uint64_t _size;
    const int _maxDepth;
    const uint64_t _maxValues;
    Trailer _trailer;
    QVector<Object> _objects;
};
