#include "foundation/StringsTable.h"
#include "common/TestName.h"
#include "foundation/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

using Table = QHash<QString, QString>;

struct StringsCase {
    const char* name;
    QByteArray text;
    Table expected;
};

std::vector<StringsCase> cases() {
    return {
        {"simple", R"("Title" = "Titel";)", {{"Title", "Titel"}}},
        {"blank and comments",
         "/* a block\n comment */\n// line comment \"x\" = \"y\";\n\"a\" /* mid */ = // x\n \"b\" "
         ";",
         {{"a", "b"}}},
        {"escapes",
         R"("k" = "line\nnext\ttab \"quoted\" back\\slash";)",
         {{"k", "line\nnext\ttab \"quoted\" back\\slash"}}},
        {"escaped backslash then n stays two characters", R"("k" = "a\\nb";)", {{"k", "a\\nb"}}},
        {"unicode escapes",
         R"("k" = "\U60A8\u597D \UD83D\UDE00";)",
         {{"k", QString::fromUtf8("您好 😀")}}},
        {"octal escape", R"("k" = "\101\102";)", {{"k", "AB"}}},
        {"utf-8 text",
         "\"确定\" = \"是\";",
         {{QString::fromUtf8("确定"), QString::fromUtf8("是")}}},
        {"unquoted key and value",
         "Title = Titel_1.0;\nother = \"x y\";",
         {{"Title", "Titel_1.0"}, {"other", "x y"}}},
        {"key only means itself", R"("Same";)", {{"Same", "Same"}}},
        {"later entry wins", R"("k" = "1"; "k" = "2";)", {{"k", "2"}}},
        {"braced dictionary", R"({ "a" = "b"; })", {{"a", "b"}}},
        {"empty value", R"("k" = "";)", {{"k", ""}}},
        {"utf-8 byte-order mark", "\xEF\xBB\xBF\"a\" = \"b\";", {{"a", "b"}}},
        {"empty input", "", {}},
        {"only comments", "/* nothing */ // here", {}},
        // Malformed: nothing at all, never a partial table.
        {"unterminated string", R"("a" = "b"; "c" = "d)", {}},
        {"unterminated comment", R"("a" = "b"; /* open)", {}},
        {"missing semicolon", R"("a" = "b" "c" = "d";)", {}},
        {"missing value", R"("a" = ;)", {}},
        {"stray character", R"("a" = "b"; #)", {}},
        {"escape at end", "\"a\" = \"b\\", {}},
        {"bad unicode escape", R"("a" = "\U12G4";)", {}},
        {"unbalanced brace", R"({ "a" = "b";)", {}},
    };
}

class StringsTableText : public testing::TestWithParam<StringsCase> {};

TEST_P(StringsTableText, Parses) {
    EXPECT_EQ(StringsTable::parse(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(StringsTable, StringsTableText, testing::ValuesIn(cases()),
                         [](const auto& info) { return testName(info.param.name); });

TEST(StringsTable, Utf16WithByteOrderMark) {
    const QString text = QString::fromUtf8("\"取消\" = \"Cancel\";\n");
    for (auto encoding : {QStringEncoder::Utf16LE, QStringEncoder::Utf16BE}) {
        QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
        const QByteArray bytes = encoder.encode(text);
        EXPECT_EQ(StringsTable::parse(bytes), (Table{{QString::fromUtf8("取消"), "Cancel"}}));
    }
}

TEST(StringsTable, PropertyListDictionaryKeepsOnlyTexts) {
    const QVariantMap dict{
        {"a", QString("b")}, {"n", 5}, {QString::fromUtf8("键"), QString::fromUtf8("值")}};
    const Table expected{{"a", "b"}, {QString::fromUtf8("键"), QString::fromUtf8("值")}};
    EXPECT_EQ(StringsTable::parse(PropertyList::toXml(dict)), expected);
    EXPECT_TRUE(StringsTable::parse(PropertyList::toXml(QVariantList{"a"})).isEmpty());
    EXPECT_TRUE(StringsTable::parse("<?xml version=\"1.0\"?><plist><dict><key>a</key>").isEmpty());
}

TEST(StringsTable, BundleTablesParseWhole) {
    // The shipped tables: every line that looks like an entry must arrive.
    const QDir resources(QStringLiteral(QEV_SOURCE_DIR "/resources/bundle"));
    const QStringList tables = resources.entryList({"*.lproj"}, QDir::Dirs);
    ASSERT_FALSE(tables.isEmpty());
    for (const QString& lproj : tables) {
        QFile file(resources.filePath(lproj + "/Root.strings"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << lproj.toStdString();
        const QByteArray bytes = file.readAll();
        const Table table = StringsTable::parse(bytes);
        EXPECT_EQ(table.size(), bytes.count("\" = \"")) << lproj.toStdString();
    }
}

} // namespace
