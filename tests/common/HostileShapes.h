#pragma once

#include "common/BinaryPlistBuilder.h"

#include "foundation/PlistGuard.h"

#include <QByteArray>
#include <QString>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Inputs built to hurt a reader, tagged by where they go. A property list goes wherever one is
// read (the preference file, the row list, a strings table kept as a property list): cut short,
// the wrong shape, nested past any sane depth, cyclic, exploding through shared objects, scalars
// at or past their limits, NUL bytes and broken UTF-8 where text belongs, counts and offsets
// that promise more than the file holds, and a file larger than any preference file. Where the
// shape allows it, the hostile part sits under `slot` in a root dictionary that also holds
// "other" = "kept", so it reaches the very entry a row reads. Strings text goes only into a
// strings table.
enum class HostileKind { PropertyList, StringsText };

struct HostileShape {
    std::string name;
    std::function<QByteArray()> bytes; // made on use: some are tens of megabytes
    // A property list: whether a sound reader still takes the whole file as a dictionary (else
    // the file as a whole is unreadable, and must be treated as such). Strings text: whether
    // the table translates ("Hello", "World" and "Footer"), or gives nothing at all.
    bool readable;
    HostileKind kind = HostileKind::PropertyList;
};

inline void PrintTo(const HostileShape& shape, std::ostream* out) {
    *out << shape.name;
}

namespace HostileDetail {

inline constexpr int kDeep = 100000;
inline constexpr qint64 kHugeBytes = 70LL * 1024 * 1024;
using B = BinaryPlistBuilder;

// An XML root dictionary {slot: value, "other": "kept"}, the hostile entry first.
inline QByteArray xml(const QByteArray& slot, const QByteArray& value,
                      const QByteArray& more = {}) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>" + slot +
           "</key>" + value + more + "<key>other</key><string>kept</string></dict></plist>\n";
}
inline QByteArray xmlArrays(int depth) {
    return QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth);
}

// A binary root dictionary {slot: object 3, "other": object 4}; objects from 3 on are given.
inline QByteArray binary(const QByteArray& slot, const QList<QByteArray>& objects,
                         quint64 count = ~quint64(0), quint64 tableOffset = ~quint64(0)) {
    B b;
    b.refSize = 4;
    b.add(b.dict({1, 2}, {3, 4}));
    b.add(B::ascii(slot));
    b.add(B::ascii("other"));
    for (const QByteArray& object : objects)
        b.add(object);
    return b.build(count, tableOffset);
}
// {slot: object}, other: "kept".
inline QByteArray binaryHolding(const QByteArray& slot, const QByteArray& object) {
    return binary(slot, {object, B::ascii("kept")});
}
inline QByteArray array(const QList<quint64>& refs) {
    B b;
    b.refSize = 4;
    return b.array(refs);
}
// {slot: a0}, a(i) = [a(i+1)] down to an empty array: `arrays` arrays below the root.
inline QByteArray binaryNested(const QByteArray& slot, int arrays) {
    QList<QByteArray> objects{array({5}), B::ascii("kept")};
    for (int i = 0; i < arrays - 2; ++i)
        objects.append(array({quint64(6 + i)}));
    objects.append(array({}));
    return binary(slot, objects);
}
// {slot: a(3)}, each a(i) holding a(i+1) twice, `levels` deep: 2^levels values when expanded.
inline QByteArray binaryFanOut(const QByteArray& slot, int levels) {
    QList<QByteArray> objects{array({5, 5}), B::ascii("kept")};
    for (int i = 0; i < levels - 1; ++i)
        objects.append(array({quint64(6 + i), quint64(6 + i)}));
    objects.append(B::ascii("leaf"));
    return binary(slot, objects);
}
inline QByteArray binaryInteger(int sizeLog2, const QByteArray& bigEndianBytes) {
    return QByteArray(1, char(0x10 | sizeLog2)) + bigEndianBytes;
}
// A dictionary whose only key is `key`, holding true.
inline QByteArray binaryKeyed(const QByteArray& key) {
    B b;
    b.add(b.dict({1}, {2}));
    b.add(key);
    b.add(QByteArray("\x09", 1));
    return b.build();
}

inline QByteArray stringsText() {
    return "/* a translation */\n\"Hello\" = \"Hallo\";\n\"World\" = \"Welt\";\n"
           "\"Footer\" = \"Fu\xc3\x9fzeile\";\n";
}
inline QByteArray utf16le(const QByteArray& utf8) {
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xFF\xFE") +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

} // namespace HostileDetail

inline std::vector<HostileShape> hostileShapes(const QByteArray& slot) {
    using namespace HostileDetail;
    const QByteArray s = slot;
    const auto valid = [s] { return xml(s, "<string>x</string>"); };
    const auto validBinary = [s] { return binaryHolding(s, B::ascii("x")); };
    const qint64 maxDepth = PlistGuard::maxDepth;
    return {
        {"empty", [] { return QByteArray(); }, false},
        {"text", [] { return QByteArray("just some words"); }, false},
        {"xml_cut_in_half", [valid] { return valid().left(valid().size() / 2); }, false},
        {"xml_comment_never_closed", [] { return QByteArray("<plist><!-- <dict>"); }, false},
        {"binary_cut_in_half", [=] { return validBinary().left(validBinary().size() / 2); }, false},
        {"xml_root_is_an_array", [] { return QByteArray("<plist><array/></plist>"); }, false},
        {"binary_root_is_a_string",
         [] {
             B b;
             b.add(B::ascii("a dictionary"));
             return b.build();
         },
         false},
        {"xml_arrays_at_the_depth_limit", [=] { return xml(s, xmlArrays(maxDepth)); }, true},
        {"xml_arrays_past_the_depth_limit", [=] { return xml(s, xmlArrays(maxDepth + 1)); }, false},
        {"xml_dicts_nested_10e5",
         [s] {
             return xml(s, QByteArray("<dict><key>k</key>").repeated(kDeep) + "<true/>" +
                               QByteArray("</dict>").repeated(kDeep));
         },
         false},
        {"binary_arrays_at_the_depth_limit", [=] { return binaryNested(s, maxDepth); }, true},
        {"binary_arrays_past_the_depth_limit", [=] { return binaryNested(s, maxDepth + 1); },
         false},
        {"binary_array_contains_itself", [s] { return binaryHolding(s, array({3})); }, false},
        {"binary_two_arrays_contain_each_other",
         [s] {
             return binary(s, {array({5}), B::ascii("kept"), array({3})});
         },
         false},
        {"binary_shared_fan_out_2e40", [s] { return binaryFanOut(s, 40); }, false},
        // Sharing itself is legitimate while the expansion stays small.
        {"binary_shared_fan_out_2e6", [s] { return binaryFanOut(s, 6); }, true},
        {"binary_date_nan", [s] { return binaryHolding(s, B::date(std::nan(""))); }, false},
        {"binary_date_past_year_9999", [s] { return binaryHolding(s, B::date(252'423'993'600.0)); },
         false},
        {"xml_dates_at_the_ends_of_the_calendar",
         [s] {
             return xml(s, "<date>0001-01-01T00:00:00Z</date>",
                        "<key>last</key><date>9999-12-31T23:59:59Z</date>");
         },
         true},
        {"xml_integers_at_their_limits",
         [s] {
             return xml(s, "<integer>-9223372036854775808</integer>",
                        "<key>umax</key><integer>18446744073709551615</integer>");
         },
         true},
        {"xml_integer_past_its_limit",
         [s] { return xml(s, "<integer>18446744073709551616</integer>"); }, false},
        {"binary_integer_of_32_bytes",
         [s] { return binaryHolding(s, binaryInteger(5, QByteArray(32, '\x7f'))); }, false},
        {"binary_integer_at_its_limit", // INT64_MIN
         [s] { return binaryHolding(s, binaryInteger(3, B::bigEndian(quint64(1) << 63, 8))); },
         true},
        {"xml_nul_in_key", [s] { return xml(s + QByteArray("\0x", 2), "<true/>"); }, false},
        {"binary_nul_in_key", [s] { return binaryKeyed(B::ascii(s + QByteArray("\0x", 2))); },
         false},
        {"binary_utf16_key_with_nul",
         [] { return binaryKeyed(QByteArray("\x62\x00\x61\x00\x00", 5)); }, false},
        {"binary_nul_in_value", [s] { return binaryHolding(s, B::ascii(QByteArray("a\0b", 3))); },
         false},
        {"xml_invalid_utf8_in_value", [s] { return xml(s, "<string>ab\xff\xfe\xc0\x80</string>"); },
         false},
        {"binary_object_count_2e62",
         [s] {
             return binary(s, {B::ascii("x"), B::ascii("kept")}, quint64(1) << 62);
         },
         false},
        {"binary_offset_entry_past_the_end",
         [=] {
             QByteArray bytes = validBinary();
             bytes[bytes.size() - 32 - 1] = char(0x7F); // the last object's offset
             return bytes;
         },
         false},
        {"binary_array_declares_2e40_entries",
         [s] { return binaryHolding(s, QByteArray("\xAF\x13", 2) + B::bigEndian(1ULL << 40, 8)); },
         false},
        {"binary_string_longer_than_the_file",
         [s] {
             return binaryHolding(s,
                                  QByteArray("\x5F\x13", 2) + B::bigEndian(1ULL << 40, 8) + "ab");
         },
         false},
        {"binary_reference_out_of_range", [s] { return binaryHolding(s, array({0x7FFF})); }, false},
        {"binary_no_objects", [] { return B().build(); }, false},
        {"binary_root_outside_the_objects",
         [] {
             B b;
             b.add(b.array({}));
             b.root = 9;
             return b.build();
         },
         false},
        {"binary_key_not_a_string", [] { return binaryKeyed(array({})); }, false},
        {"binary_uid", [s] { return binaryHolding(s, QByteArray("\x80\x05", 2)); }, false},
        {"xml_unknown_element", [s] { return xml(s, "<uid>1</uid>"); }, false},
        // Well formed, but far larger than any preference file: refused unread.
        {"xml_70_MiB",
         [s] { return xml(s, "<string>" + QByteArray(kHugeBytes, 'p') + "</string>"); }, false},
    };
}

// Strings tables in the text format, translating "Hello", "World" and "Footer" when sound.
inline std::vector<HostileShape> hostileStringsTexts() {
    using namespace HostileDetail;
    const auto text = HostileKind::StringsText;
    const auto valid = stringsText;
    return {
        {"text_well_formed", valid, true, text},
        {"text_utf16_well_formed", [=] { return utf16le(valid()); }, true, text},
        {"text_cut_in_a_value", [=] { return valid().left(valid().indexOf("Hal") + 2); }, false,
         text},
        {"text_comment_never_closed", [=] { return valid() + "/* never closed"; }, false, text},
        {"text_invalid_utf8", [=] { return valid().replace("Hallo", "Ha\xff\xfello"); }, false,
         text},
        {"text_nul_in_key", [=] { return QByteArray("\"Hel\0lo\" = \"X\";\n", 16) + valid(); },
         false, text},
        {"text_utf16_odd_length", [=] { return utf16le(valid()) + "\x41"; }, false, text},
        {"text_utf16_lone_surrogate",
         [=] {
             return utf16le(valid()).replace(QByteArray("H\0a\0", 4), QByteArray("\x00\xd8"
                                                                                 "a\0",
                                                                                 4));
         },
         false, text},
        {"text_braces_nested_10e5", [=] { return QByteArray(100000, '{') + valid(); }, false, text},
        {"text_escape_cut_short", [=] { return valid() + "\"x\" = \"\\U12"; }, false, text},
        {"text_70_MiB",
         [=] { return valid() + QByteArray("\"pad\" = \"pad\";\n").repeated(kHugeBytes / 16); },
         false, text},
    };
}
