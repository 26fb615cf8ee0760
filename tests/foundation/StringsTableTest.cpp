#include "foundation/StringsTable.h"
#include "foundation/PropertyList.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

using Table = QHash<QString, QString>;

QByteArray utf16(const QString& text, QStringEncoder::Encoding encoding) {
    return QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(text);
}

// The text format and its property-list form; a malformed table gives nothing at all (more
// broken tables are among the hostile shapes).
TEST(StringsTable, ParsesEveryFormOrNothing) {
    const QString cancel = QString::fromUtf8("\"取消\" = \"Cancel\";\n");
    const struct {
        const char* what;
        QByteArray text;
        Table expected;
    } cases[] = {
        {"comments",
         "/* a block\n comment */\n// line \"x\" = \"y\";\n\"a\" /* mid */ = // x\n \"b\" ;",
         {{"a", "b"}}},
        {"escapes",
         R"("k" = "line\nnext\ttab \"quoted\" back\\slash \\n";)",
         {{"k", "line\nnext\ttab \"quoted\" back\\slash \\n"}}},
        {"unicode and octal escapes",
         R"("k" = "\U60A8\u597D \UD83D\UDE00 \101";)",
         {{"k", QString::fromUtf8("您好 😀 A")}}},
        {"unquoted, key only, later wins",
         R"(Title = Titel_1.0; "Same"; "k" = "1"; "k" = "2";)",
         {{"Title", "Titel_1.0"}, {"Same", "Same"}, {"k", "2"}}},
        {"utf-16 little-endian",
         utf16(cancel, QStringEncoder::Utf16LE),
         {{QString::fromUtf8("取消"), "Cancel"}}},
        {"property list: only texts",
         PropertyList::toXml(QVariantMap{{"a", "b"}, {"n", 5}}),
         {{"a", "b"}}},
        {"missing semicolon", R"("a" = "b" "c" = "d";)", {}},
        {"bad unicode escape", R"("a" = "\U12G4";)", {}},
        {"property list of a list", PropertyList::toXml(QVariantList{"a"}), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringsTable::parse(c.text), c.expected) << c.what;
}

} // namespace
