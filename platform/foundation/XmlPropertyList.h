#pragma once

#include <QByteArray>
#include <QStringView>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

// An XML property list read in one pass into a flat index of its values. A value becomes a Qt
// value only when it is asked for, so a long row list costs one scan of its bytes rather than
// a tree of nodes and another of QVariants.
//
// It takes the plainly written lists, whose every value libplist reads the same way: a <plist>
// holding one value made of dict, array, key, string, integer, real, true and false elements;
// the five named entities; UTF-8 text; comments between elements; an XML declaration and a
// DOCTYPE before the <plist>. For anything else (dates, data, CDATA, character references,
// attributes, text around elements, nesting deeper than PlistValue::maxDepth, NUL bytes)
// read() gives nothing and PropertyList hands the bytes to libplist, behind its checks. What it
// does read has the values libplist's reading gives (fuzz_plist compares the two).
class XmlPropertyList {
public:
    enum class Type : quint8 { Dictionary, Array, Key, String, Integer, Real, True, False };

    static std::shared_ptr<const XmlPropertyList> read(const QByteArray& bytes);

    // Values are numbered in document order; 0 is the root. -1 stands for none.
    Type type(int value) const { return _entries[size_t(value)].type; }
    QVariant value(int value) const;
    // A dictionary's value under `key` (the last one when a key repeats), or -1.
    int valueForKey(int dictionary, QStringView key) const;
    // An array's items or a dictionary's values in order; -1 after the last.
    int firstChild(int container) const;
    int nextChild(int container, int child) const;
    // A string's text when it is plain ASCII with no entity, as it stands in the bytes.
    std::optional<QLatin1StringView> asciiText(int value) const;

private:
    struct Entry {
        quint32 begin = 0; // the text of a key or scalar
        quint32 end = 0;
        quint32 next = 0; // the entry after this value and everything inside it
        Type type = Type::String;
        quint8 flags = 0;
    };
    friend class XmlPropertyListScanner;

    QString text(const Entry& entry) const;
    bool keyIs(const Entry& key, QStringView name) const;

    QByteArray _bytes;
    std::vector<Entry> _entries;
};
