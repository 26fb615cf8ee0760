#include "foundation/NSBundle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Where a strings table lies is remembered per table and choice of languages; a later change of
// languages still finds the table of the new best language, also after a miss.
namespace {

class LanguageEnv {
public:
    explicit LanguageEnv(const char* language) : _saved(qgetenv("LANGUAGE")) {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            _others.emplace_back(name, qgetenv(name));
            qunsetenv(name);
        }
        qputenv("LANGUAGE", language);
    }
    ~LanguageEnv() {
        qputenv("LANGUAGE", _saved);
        for (const auto& [name, value] : _others) {
            if (!value.isEmpty())
                qputenv(name, value);
        }
    }

private:
    QByteArray _saved;
    std::vector<std::pair<const char*, QByteArray>> _others;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(NSBundleTableLookup, LanguagesChangingBetweenLookupsPickTheirOwnTable) {
    QTemporaryDir dir;
    writeFile(dir.filePath("zh-Hans.lproj/Root.strings"), R"("Play" = "播放";)");
    writeFile(dir.filePath("fr.lproj/Root.strings"), R"("Play" = "Lire";)");
    writeFile(dir.filePath("fr.lproj/Localizable.strings"), R"("Play" = "Jouer";)");
    writeFile(dir.filePath("Localizable.strings"), R"x("Play" = "Play (top)";)x");
    NSBundle* bundle = NSBundle::bundleWithPath(dir.path());
    ASSERT_NE(bundle, nullptr);

    struct Case {
        const char* language;
        const char* table;
        const char* expected;
    };
    // Each row after a change of language: a cached answer for another language would show.
    // German has no table anywhere (the key comes back); Chinese has no Localizable table of
    // its own (the bundle's top one serves).
    const Case cases[] = {
        {"de", "Root", "Play"}, {"zh_CN", "Root", "播放"}, {"fr", "Root", "Lire"},
        {"de", "Root", "Play"}, {"fr", "", "Jouer"},       {"zh_CN", "", "Play (top)"},
        {"fr", "", "Jouer"},    {"zh_CN", "Root", "播放"},
    };
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            LanguageEnv env(c.language);
            EXPECT_EQ(bundle->localizedStringForKey("Play", "", c.table),
                      QString::fromUtf8(c.expected))
                << c.language << " " << c.table << " round " << round;
        }
    }
}

} // namespace
