#include "foundation/PropertyList.h"
#include "foundation/StringsTable.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QString kResources = QStringLiteral(QEV_SOURCE_DIR "/resources");

QHash<QString, QString> stringsTable(const QString& language) {
    QFile file(kResources + "/bundle/" + language + ".lproj/Root.strings");
    return file.open(QIODevice::ReadOnly) ? StringsTable::parse(file.readAll())
                                          : QHash<QString, QString>();
}

// Every text of "Root" that the host translates through the list's table.
QSet<QString> translatedTexts(const QVariantMap& root) {
    QSet<QString> texts;
    if (root.value("title").typeId() == QMetaType::QString)
        texts.insert(root.value("title").toString());
    for (const QVariant& item : root.value("items").toList()) {
        const QVariantMap row = item.toMap();
        for (const char* key : {"label", "footerText"})
            if (row.value(key).typeId() == QMetaType::QString)
                texts.insert(row.value(key).toString());
    }
    return texts;
}

TEST(ShippedResources, EveryRowTextIsTranslatedInBothLanguages) {
    const std::optional<QVariantMap> root =
        PropertyList::readDictionary(kResources + "/bundle/Root.plist");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->value("localizationTable"), "Root");
    const QSet<QString> texts = translatedTexts(*root);
    ASSERT_GT(texts.size(), 5);
    for (const char* language : {"en", "zh-Hans"}) {
        SCOPED_TRACE(language);
        const QHash<QString, QString> table = stringsTable(language);
        ASSERT_FALSE(table.isEmpty());
        for (const QString& text : texts)
            EXPECT_TRUE(table.contains(text)) << text.toStdString();
    }
    // The Chinese table really is Chinese: a text left in English would slip through above.
    const QHash<QString, QString> chinese = stringsTable("zh-Hans");
    EXPECT_EQ(chinese.value("Enable Player"), QString::fromUtf8("启用播放器"));
}

TEST(ShippedResources, InfoAndEntryNameTheBundleAndItsPrincipalClass) {
    const std::optional<QVariantMap> info =
        PropertyList::readDictionary(kResources + "/bundle/Info.plist");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->value("CFBundleExecutable"), "tolvplayerprefs.so");
    EXPECT_EQ(info->value("NSPrincipalClass"), "TOLVPLAYERPreferencesListController");
    EXPECT_EQ(info->value("CFBundleIdentifier"), "com.qev.tolvplayerprefs");
    EXPECT_EQ(info->value("CFBundleDevelopmentRegion"), "en");

    const std::optional<QVariantMap> entry =
        PropertyList::readDictionary(kResources + "/entry/tolvplayerprefs.plist");
    ASSERT_TRUE(entry);
    const QVariantMap fields = entry->value("entry").toMap();
    EXPECT_EQ(fields.value("bundle"), "tolvplayerprefs");
    EXPECT_EQ(fields.value("label"), "TOLVPlayer");
    EXPECT_EQ(fields.value("icon"), "icon.png");
}

} // namespace
