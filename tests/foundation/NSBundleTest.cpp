#include "common/LocaleScope.h"
#include "common/TestBundle.h"

#include "foundation/LocaleLanguages.h"
#include "foundation/NSBundle.h"

#include <gtest/gtest.h>

namespace {

TEST(LocaleLanguages, MatchesLocalizationsBestFirst) {
    const struct {
        QStringList preferred, available;
        QString development;
        QStringList expected;
    } cases[] = {
        {{"zh_CN"}, {"en", "zh-Hans", "Base"}, "", {"zh-Hans", "en", "Base"}},
        {{"zh_TW"}, {"zh-Hans", "zh-Hant"}, "", {"zh-Hant"}},
        {{"pt_BR", "de"}, {"pt", "pt-BR", "de", "en"}, "", {"pt-BR", "pt", "de", "en"}},
        {{"ja"}, {"fr", "de", "Base"}, "fr", {"fr", "Base"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LocaleLanguages::matchLocalizations(c.preferred, c.available, c.development),
                  c.expected);
    }
}

// Lookups in a row as the languages change between them: each finds the table of its own best
// language (a cached answer for another language would show), only that table (never a mix),
// then the value given, then the key; the development region stands in for a language the
// bundle lacks. The whole run twice: the second time from what the bundle cached.
TEST(NSBundle, TranslatesFromTheBestTableOfTheLanguageInForce) {
    TempDeviceRoot root;
    NSBundle* bundle = makeTestBundle(
        root,
        {{"Info.plist", PropertyList::toXml(QVariantMap{{"CFBundleDevelopmentRegion", "fr"}})},
         {"en.lproj/Localizable.strings", R"x("Yes" = "Yes (en)"; "Only en" = "en";)x"},
         {"fr.lproj/Localizable.strings", R"("Yes" = "Oui";)"},
         {"fr.lproj/Root.strings", R"("Play" = "Lire";)"},
         {"zh-Hans.lproj/Localizable.strings", "\"Yes\" = \"是\"; \"Blank\" = \"\";"},
         {"zh-Hans.lproj/Root.strings", "\"Play\" = \"播放\";"},
         {"de.lproj/Localizable.strings", R"("Yes" = "Ja)"}, // malformed
         {"Other.strings", R"x("Top" = "top";)x"}});
    ASSERT_TRUE(bundle);
    const struct {
        const char* language;
        const char* key; // null: a null key
        const char* value;
        const char* table;
        const char* expected;
    } cases[] = {
        {"zh_CN", "Yes", "", nullptr, "是"},
        {"fr", "Play", "", "Root", "Lire"},
        {"ja", "Yes", "", "", "Oui"},
        {"zh_CN", "Only en", "", nullptr, "Only en"},
        {"zh_CN", "Blank", "fallback", nullptr, ""},
        {"de", "Yes", "Fallback", nullptr, "Fallback"},
        {"zh_CN", nullptr, "Value", nullptr, ""},
        {"zh_CN", "Top", "", "Other", "top"}, // a table no language has: the bundle's own
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << c.language << " " << (c.key ? c.key : "(null)") << " round " << round);
            LocaleScope locale(LocaleScope::Variables{{"LANGUAGE", c.language}});
            const QString result = bundle->localizedStringForKey(
                c.key ? QString::fromUtf8(c.key) : QString(), QString::fromUtf8(c.value),
                c.table ? QString(c.table) : QString());
            EXPECT_EQ(result, QString::fromUtf8(c.expected));
            EXPECT_FALSE(result.isNull());
        }
    }
}

} // namespace
