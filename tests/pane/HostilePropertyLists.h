#pragma once

#include "foundation/BinaryPlistBuilder.h"
#include "foundation/PropertyList.h"

#include <QByteArray>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Property lists built to hurt a reader: cut short, the wrong shape, nested past any sane
// depth, cyclic, exploding through shared objects, scalars at or past their limits, NUL bytes
// and broken UTF-8 where text belongs, counts that promise more than the file holds, and a file
// larger than any preference file. Where the shape allows it, the hostile part sits under
// `slot` in a root dictionary, so it reaches the very entry a pane row reads.
struct HostileShape {
    std::string name;
    std::function<QByteArray()> bytes; // made on use: some are tens of megabytes
    // Whether a sound reader still takes the whole file as a dictionary. False: the file as a
    // whole is unreadable, and must be treated as such.
    bool readable;
};

inline void PrintTo(const HostileShape& shape, std::ostream* out) {
    *out << shape.name;
}

namespace HostileDetail {

inline constexpr int kDeep = 100000;
inline constexpr qint64 kHugeBytes = 70LL * 1024 * 1024;

inline QByteArray xmlDict(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body +
           "</dict></plist>\n";
}
inline QByteArray xmlEntry(const QByteArray& key, const QByteArray& value) {
    return "<key>" + key + "</key>" + value;
}

// A root dictionary {slot: <object 1>, "other": "kept"}; the caller adds objects from 3 on.
inline BinaryPlistBuilder binaryDictWith(const QByteArray& slot) {
    BinaryPlistBuilder b;
    b.refSize = 4;
    b.add(b.dict({1, 2}, {3, 4}));
    b.add(BinaryPlistBuilder::ascii(slot));
    b.add(BinaryPlistBuilder::ascii("other"));
    return b;
}
// With object 3 given and object 4 the text "kept".
inline QByteArray binaryDictHolding(const QByteArray& slot, const QByteArray& object) {
    BinaryPlistBuilder b = binaryDictWith(slot);
    b.add(object);
    b.add(BinaryPlistBuilder::ascii("kept"));
    return b.build();
}

// An array object whose references fit the lists above.
inline QByteArray arrayOf(const QList<quint64>& refs) {
    BinaryPlistBuilder b;
    b.refSize = 4;
    return b.array(refs);
}

inline QByteArray validBinary(const QByteArray& slot) {
    return binaryDictHolding(slot, BinaryPlistBuilder::ascii("x"));
}

inline QByteArray binaryInteger(int sizeLog2, const QByteArray& bigEndianBytes) {
    return QByteArray(1, char(0x10 | sizeLog2)) + bigEndianBytes;
}

// {slot: a0}, a(i) = [a(i+1)] down to an empty array: `depth` levels.
inline QByteArray binaryNested(const QByteArray& slot, int depth) {
    BinaryPlistBuilder c = binaryDictWith(slot);
    c.add(c.array({5}));
    c.add(BinaryPlistBuilder::ascii("kept"));
    for (int i = 0; i < depth - 1; ++i)
        c.add(c.array({quint64(6 + i)}));
    c.add(c.array({}));
    return c.build();
}

// {slot: a(3)}, each a(i) holding a(i+1) twice, `levels` deep: 2^levels values when expanded.
inline QByteArray binaryFanOut(const QByteArray& slot, int levels) {
    BinaryPlistBuilder b = binaryDictWith(slot);
    b.add(b.array({5, 5}));
    b.add(BinaryPlistBuilder::ascii("kept"));
    for (int i = 0; i < levels - 1; ++i)
        b.add(b.array({quint64(6 + i), quint64(6 + i)}));
    b.add(BinaryPlistBuilder::ascii("leaf"));
    return b.build();
}

} // namespace HostileDetail

inline std::vector<HostileShape> hostileShapes(const QByteArray& slot) {
    using namespace HostileDetail;
    using B = BinaryPlistBuilder;
    const QByteArray s = slot;
    const QByteArray kept = xmlEntry("other", "<string>kept</string>");
    auto valid = [s, kept] { return xmlDict(xmlEntry(s, "<string>x</string>") + kept); };
    return {
        {"empty", [] { return QByteArray(); }, false},
        {"xml_cut_in_half", [valid] { return valid().left(valid().size() / 2); }, false},
        {"xml_cut_inside_a_closing_tag", [valid] { return valid().chopped(20); }, false},
        {"binary_cut_in_half", [s] { return validBinary(s).left(validBinary(s).size() / 2); },
         false},
        {"binary_header_only", [] { return QByteArray("bplist00"); }, false},
        {"xml_root_is_an_array",
         [s] {
             return PropertyList::toXml(QVariantList{QString(s), "x"});
         },
         false},
        {"binary_root_is_a_string",
         [] {
             B b;
             b.add(B::ascii("a dictionary"));
             return b.build();
         },
         false},
        {"xml_arrays_nested_10e5",
         [s, kept] {
             return xmlDict(kept + xmlEntry(s, QByteArray("<array>").repeated(kDeep) +
                                                   QByteArray("</array>").repeated(kDeep)));
         },
         false},
        {"xml_dicts_nested_10e5",
         [s, kept] {
             return xmlDict(kept + QByteArray("<key>" + s + "</key><dict>").repeated(kDeep) +
                            QByteArray("</dict>").repeated(kDeep));
         },
         false},
        {"xml_nesting_never_closed",
         [s] { return xmlDict(xmlEntry(s, QByteArray("<array>").repeated(kDeep))); }, false},
        {"binary_arrays_nested_10e5", [s] { return binaryNested(s, kDeep); }, false},
        {"binary_array_contains_itself", [s] { return binaryDictHolding(s, arrayOf({3})); }, false},
        {"binary_two_arrays_contain_each_other",
         [s] {
             B b = binaryDictWith(s);
             b.add(b.array({5}));
             b.add(B::ascii("kept"));
             b.add(b.array({3}));
             return b.build();
         },
         false},
        {"binary_root_dict_contains_itself",
         [s] {
             B b;
             b.add(b.dict({1}, {0}));
             b.add(B::ascii(s));
             return b.build();
         },
         false},
        {"binary_shared_fan_out_2e40", [s] { return binaryFanOut(s, 40); }, false},
        // Sharing itself is legitimate while the expansion stays small.
        {"binary_shared_fan_out_2e6", [s] { return binaryFanOut(s, 6); }, true},
        {"binary_date_nan", [s] { return binaryDictHolding(s, B::date(std::nan(""))); }, false},
        {"binary_date_infinite", [s] { return binaryDictHolding(s, B::date(-HUGE_VAL)); }, false},
        {"binary_date_1e300", [s] { return binaryDictHolding(s, B::date(1e300)); }, false},
        {"binary_date_past_year_9999",
         [s] { return binaryDictHolding(s, B::date(252'423'993'600.0)); }, false},
        {"xml_dates_at_the_ends_of_the_calendar",
         [s, kept] {
             return xmlDict(xmlEntry(s, "<date>0001-01-01T00:00:00Z</date>") +
                            xmlEntry("last", "<date>9999-12-31T23:59:59Z</date>") + kept);
         },
         true},
        {"xml_integers_at_their_limits",
         [s, kept] {
             return xmlDict(xmlEntry(s, "<integer>-9223372036854775808</integer>") +
                            xmlEntry("max", "<integer>9223372036854775807</integer>") +
                            xmlEntry("umax", "<integer>18446744073709551615</integer>") + kept);
         },
         true},
        {"xml_integer_past_its_limit",
         [s, kept] {
             return xmlDict(xmlEntry(s, "<integer>18446744073709551616</integer>") + kept);
         },
         false},
        {"binary_integers_at_their_limits",
         [s] {
             B b = binaryDictWith(s);
             b.add(binaryInteger(3, B::bigEndian(quint64(1) << 63, 8))); // INT64_MIN
             b.add(B::ascii("kept"));
             return b.build();
         },
         true},
        {"binary_integer_of_32_bytes",
         [s] { return binaryDictHolding(s, binaryInteger(5, QByteArray(32, '\x7f'))); }, false},
        {"xml_nul_in_key",
         [s, kept] { return xmlDict(xmlEntry(s + QByteArray("\0x", 2), "<true/>") + kept); },
         false},
        {"binary_nul_in_key",
         [s] {
             B b;
             b.add(b.dict({1}, {2}));
             b.add(B::ascii(s + QByteArray("\0x", 2)));
             b.add(QByteArray("\x09", 1)); // true
             return b.build();
         },
         false},
        {"xml_invalid_utf8_in_value",
         [s, kept] { return xmlDict(xmlEntry(s, "<string>ab\xff\xfe\xc0\x80</string>") + kept); },
         false},
        {"xml_invalid_utf8_in_key",
         [s, kept] { return xmlDict(xmlEntry(s + "\xed\xa0\x80", "<true/>") + kept); }, false},
        {"binary_object_count_2e62",
         [s] {
             B b = binaryDictWith(s);
             b.add(B::ascii("x"));
             b.add(B::ascii("kept"));
             return b.build(quint64(1) << 62);
         },
         false},
        {"binary_array_declares_2e40_entries",
         [s] {
             return binaryDictHolding(s, QByteArray("\xAF\x13", 2) + B::bigEndian(1ULL << 40, 8));
         },
         false},
        {"binary_string_longer_than_the_file",
         [s] {
             return binaryDictHolding(s, QByteArray("\x5F\x13", 2) + B::bigEndian(1ULL << 40, 8) +
                                             "ab");
         },
         false},
        {"binary_offset_table_past_the_end",
         [s] {
             B b = binaryDictWith(s);
             b.add(B::ascii("x"));
             b.add(B::ascii("kept"));
             return b.build(~quint64(0), quint64(1) << 40);
         },
         false},
        // Well formed, but far larger than any preference file: refused unread.
        {"xml_70_MiB",
         [s, kept] {
             QByteArray big = xmlDict(xmlEntry(s, "<string>x</string>") + kept +
                                      xmlEntry("padding", "<string></string>"));
             const qsizetype at = big.indexOf("<string></string>") + 8;
             big.insert(at, QByteArray(kHugeBytes - big.size(), 'p'));
             return big;
         },
         false},
    };
}
