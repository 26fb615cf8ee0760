#include "foundation/NSBundle.h"
#include "foundation/LocaleLanguages.h"
#include "foundation/PropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Vars = std::vector<std::pair<const char*, const char*>>;

// Sets the locale variables for one test and restores them after.
class LocaleEnv {
public:
    explicit LocaleEnv(const Vars& values) {
        for (const char* name : names) {
            _saved[name] = qgetenv(name);
            _had[name] = qEnvironmentVariableIsSet(name);
            qunsetenv(name);
        }
        for (const auto& [name, value] : values)
            qputenv(name, value);
    }
    ~LocaleEnv() {
        for (const char* name : names) {
            if (_had[name])
                qputenv(name, _saved[name]);
            else
                qunsetenv(name);
        }
    }

private:
    static constexpr const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::map<const char*, QByteArray> _saved;
    std::map<const char*, bool> _had;
};

struct EnvCase {
    Vars env;
    QStringList expected;
};

class PreferredLanguages : public testing::TestWithParam<EnvCase> {};

TEST_P(PreferredLanguages, FromLocaleVariables) {
    LocaleEnv env(GetParam().env);
    EXPECT_EQ(LocaleLanguages::preferredLanguages(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    LocaleLanguages, PreferredLanguages,
    testing::Values(
        EnvCase{{{"LANGUAGE", "zh_CN:en"}, {"LANG", "de_DE.UTF-8"}}, {"zh_CN", "en", "de_DE"}},
        EnvCase{{{"LC_ALL", "fr_FR.UTF-8@euro"}, {"LC_MESSAGES", "de"}, {"LANG", "it"}}, {"fr_FR"}},
        EnvCase{{{"LC_MESSAGES", "de_AT"}, {"LANG", "it"}}, {"de_AT"}},
        EnvCase{{{"LANG", "en_US.UTF-8"}}, {"en_US"}}, EnvCase{{{"LANG", "C.UTF-8"}}, {}},
        EnvCase{{{"LANGUAGE", "::"}, {"LC_ALL", "POSIX"}}, {}}, EnvCase{{}, {}}));

struct MatchCase {
    QStringList preferred;
    QStringList available;
    QString development;
    QStringList expected;
};

class MatchLocalizations : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchLocalizations, BestFirst) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(LocaleLanguages::matchLocalizations(c.preferred, c.available, c.development),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    LocaleLanguages, MatchLocalizations,
    testing::Values(
        MatchCase{{"zh_CN"}, {"en", "zh-Hans", "Base"}, "", {"zh-Hans", "en", "Base"}},
        MatchCase{{"zh_CN"}, {"zh", "zh-Hans", "zh_CN"}, "", {"zh_CN", "zh-Hans", "zh"}},
        MatchCase{{"zh_CN"}, {"zh", "en"}, "", {"zh", "en"}},
        MatchCase{{"zh_TW"}, {"zh-Hans", "zh-Hant"}, "", {"zh-Hant"}},
        MatchCase{{"en_US"}, {"en", "Base"}, "", {"en", "Base"}},
        MatchCase{{"pt_BR", "de"}, {"pt", "pt-BR", "de", "en"}, "", {"pt-BR", "pt", "de", "en"}},
        MatchCase{{"ja"}, {"fr", "de", "Base"}, "fr", {"fr", "Base"}},
        MatchCase{{"ja"}, {"fr", "de"}, "", {}},
        MatchCase{{"EN-gb"}, {"en-GB", "en"}, "", {"en-GB", "en"}}));

class NSBundleTest : public testing::Test {
protected:
    // A fresh directory per test: bundles are cached per path for the process.
    void file(const QString& relative, const QByteArray& bytes) {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    NSBundle* bundle() { return NSBundle::bundleWithPath(dir.path()); }

    QTemporaryDir dir;
};

TEST_F(NSBundleTest, OnlyDirectoriesAreBundlesAndEachPathHasOne) {
    file("plain.txt", "x");
    file("sub/keep", "x");
    EXPECT_EQ(NSBundle::bundleWithPath(dir.filePath("missing")), nullptr);
    EXPECT_EQ(NSBundle::bundleWithPath(dir.filePath("plain.txt")), nullptr);
    EXPECT_EQ(NSBundle::bundleWithPath(QString()), nullptr);
    ASSERT_NE(bundle(), nullptr);
    EXPECT_EQ(NSBundle::bundleWithPath(dir.path() + "/"), bundle());
    EXPECT_EQ(NSBundle::bundleWithPath(dir.path() + "/sub/.."), bundle());
    EXPECT_EQ(bundle()->bundlePath(), QDir::cleanPath(dir.path()));
}

TEST_F(NSBundleTest, InfoDictionary) {
    file("Info.plist",
         PropertyList::toXml(QVariantMap{{"NSPrincipalClass", QString("Pane")},
                                         {"CFBundleDevelopmentRegion", QString("en")}}));
    EXPECT_EQ(bundle()->objectForInfoDictionaryKey("NSPrincipalClass"), QVariant(QString("Pane")));
    EXPECT_FALSE(bundle()->objectForInfoDictionaryKey("Missing").isValid());
    EXPECT_EQ(bundle()->infoDictionary().size(), 2);
}

TEST_F(NSBundleTest, MalformedInfoPlistGivesEmptyInfo) {
    file("Info.plist", "<plist><dict><key>a</key>");
    EXPECT_TRUE(bundle()->infoDictionary().isEmpty());
}

TEST_F(NSBundleTest, ResourcesLocalizedFirst) {
    LocaleEnv env(Vars{{"LANGUAGE", "zh_CN"}});
    file("icon.png", "root");
    file("banner.png", "root");
    file("zh-Hans.lproj/icon.png", "zh");
    file("en.lproj/banner.png", "en");
    file("README", "r");
    EXPECT_EQ(bundle()->pathForResource("icon", "png"), dir.filePath("zh-Hans.lproj/icon.png"));
    EXPECT_EQ(bundle()->pathForResource("icon", ".png"), dir.filePath("zh-Hans.lproj/icon.png"));
    EXPECT_EQ(bundle()->pathForResource("banner", "png"), dir.filePath("en.lproj/banner.png"));
    EXPECT_EQ(bundle()->pathForResource("README", ""), dir.filePath("README"));
    EXPECT_TRUE(bundle()->pathForResource("missing", "png").isNull());
    EXPECT_TRUE(bundle()->pathForResource("", "png").isNull());
}

struct LookupCase {
    const char* language;
    const char* key;
    const char* value;
    const char* table;
    const char* expected;
};

class Localized : public NSBundleTest, public testing::WithParamInterface<LookupCase> {};

TEST_P(Localized, Lookup) {
    file("Info.plist",
         PropertyList::toXml(QVariantMap{{"CFBundleDevelopmentRegion", QString("fr")}}));
    file("en.lproj/Localizable.strings", R"x("Yes" = "Yes (en)"; "Only en" = "en only";)x");
    file("fr.lproj/Localizable.strings", R"("Yes" = "Oui";)");
    file("zh-Hans.lproj/Localizable.strings", "\"Yes\" = \"是\"; \"Blank\" = \"\";");
    file("zh-Hans.lproj/Root.strings", "\"Playback\" = \"播放\";");
    file("de.lproj/Localizable.strings", R"("Yes" = "Ja)"); // malformed
    const LookupCase& c = GetParam();
    LocaleEnv env(Vars{{"LANGUAGE", c.language}});
    const QString key = c.key ? QString::fromUtf8(c.key) : QString();
    const QString result = bundle()->localizedStringForKey(key, QString::fromUtf8(c.value),
                                                           c.table ? QString(c.table) : QString());
    EXPECT_EQ(result, QString::fromUtf8(c.expected));
    EXPECT_FALSE(result.isNull());
}

INSTANTIATE_TEST_SUITE_P(NSBundle, Localized,
                         testing::Values(LookupCase{"zh_CN", "Yes", "", nullptr, "是"},
                                         LookupCase{"zh_CN.UTF-8", "Yes", "", "", "是"},
                                         LookupCase{"zh_CN", "Playback", "", "Root", "播放"},
                                         LookupCase{"zh_CN", "Blank", "fallback", nullptr, ""},
                                         LookupCase{"en_US", "Yes", "", "Localizable", "Yes (en)"},
                                         LookupCase{"ja", "Yes", "", nullptr,
                                                    "Oui"}, // development region
                                         // only the best table is used, not a mix of languages
                                         LookupCase{"zh_CN", "Only en", "", nullptr, "Only en"},
                                         LookupCase{"zh_CN", "Missing", "Value", nullptr, "Value"},
                                         LookupCase{"zh_CN", "Missing", "", nullptr, "Missing"},
                                         LookupCase{"zh_CN", "Yes", "", "NoSuchTable", "Yes"},
                                         LookupCase{"de", "Yes", "Fallback", nullptr, "Fallback"},
                                         LookupCase{"zh_CN", nullptr, "Value", nullptr, ""}));

TEST_F(NSBundleTest, TablesAreReadOncePerLanguage) {
    file("en.lproj/Localizable.strings", R"("k" = "first";)");
    file("fr.lproj/Localizable.strings", R"("k" = "premier";)");
    {
        LocaleEnv env(Vars{{"LANG", "en_US.UTF-8"}});
        EXPECT_EQ(bundle()->localizedStringForKey("k", "", ""), "first");
        file("en.lproj/Localizable.strings", R"("k" = "second";)");
        EXPECT_EQ(bundle()->localizedStringForKey("k", "", ""), "first");
    }
    LocaleEnv env(Vars{{"LANG", "fr_FR.UTF-8"}});
    EXPECT_EQ(bundle()->localizedStringForKey("k", "", ""), "premier");
}

TEST(NSBundle, MainBundleIsTheApplicationDirectory) {
    ASSERT_NE(NSBundle::mainBundle(), nullptr);
    EXPECT_EQ(NSBundle::mainBundle()->bundlePath(),
              QDir::cleanPath(QCoreApplication::applicationDirPath()));
}

TEST(NSBundle, ShippedBundleTranslates) {
    LocaleEnv env(Vars{{"LANGUAGE", "zh_CN"}});
    NSBundle* shipped =
        NSBundle::bundleWithPath(QStringLiteral(QEV_SOURCE_DIR "/resources/bundle"));
    ASSERT_NE(shipped, nullptr);
    EXPECT_EQ(shipped->localizedStringForKey("Playback", "", "Root"), QString::fromUtf8("播放"));
}

} // namespace
