#include "ListHost.h"

#include "common/MessageLog.h"

#include <gtest/gtest.h>

namespace {

// The row list "Root" of a bundle with English strings tables, loaded by a fresh controller.
struct LoadedList {
    TempDeviceRoot root;
    ListHost controller{{}};
    QList<PSSpecifier*> specifiers;

    explicit LoadedList(QMap<QString, QByteArray> files, const QString& name = "Root") {
        controller.setBundle(makeTestBundle(root, files));
        specifiers = controller.loadSpecifiersFromPlistName(name, &controller);
    }
};

QByteArray list(const QVariantMap& root) {
    return PropertyList::toXml(root);
}

TEST(SpecifierListLoader, LoadsRowsInOrderWithEveryKeyAndTranslatedTexts) {
    const LoadedList loaded({
        {"en.lproj/Localizable.strings", "\"Sound\" = \"声音\";"},
        {"en.lproj/Pane.strings",
         "\"Title\" = \"Player\";\n\"Volume\" = \"音量\";\n\"Note\" = \"说明\";\n\"On\" = \"开\";"},
        {"en.lproj/Other.strings", "\"On\" = \"启用\";"},
        {"Root.plist",
         list({{"title", "Title"},
               {"localizationTable", "Pane"},
               {"items", QVariantList{groupRow("Sound", {{"footerText", "Note"}}),
                                      cellRow("PSSliderCell", "Volume", "volume",
                                              {{"min", 0.0}, {"height", 50}, {"custom", "kept"}}),
                                      cellRow("PSSwitchCell", "On", "on",
                                              {{"id", "onID"}, {"localizationTable", "Other"}}),
                                      cellRow("PSSwitchCell", "Untranslated", "u")}}})},
    });
    const QList<PSSpecifier*>& rows = loaded.specifiers;
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(loaded.controller.title(), "Player");
    EXPECT_EQ(rows[0]->name(), "Sound"); // the list's table has none, and no other is asked
    EXPECT_EQ(rows[0]->footerText(), "说明");
    EXPECT_EQ(rows[1]->name(), "音量");
    EXPECT_EQ(rows[1]->propertyForKey("label"), QVariant("Volume")); // the key stays
    EXPECT_EQ(rows[2]->name(), "启用");      // a row's own table wins over the list's
    rows[3]->setProperty("Volume", "label"); // a label is translated as the row was loaded
    EXPECT_EQ(rows[3]->name(), "Untranslated");
    EXPECT_EQ(rows[3]->target(), &loaded.controller);
}

TEST(SpecifierListLoader, OddRowsAreKeptOrSkippedNeverFatal) {
    const LoadedList loaded(
        {{"Root.plist", list({{"items", QVariantList{
                                            QVariantMap{{"label", "no cell"}},
                                            "a text, not a dictionary",
                                            QVariantMap{{"cell", "PSSwitchCell"},
                                                        {"key", QVariantList{1, 2}},
                                                        {"label", 12}},
                                            QVariantList{QVariantMap{{"cell", "PSSwitchCell"}}},
                                            qint64(42),
                                            QVariantMap{},
                                        }}})}});
    const QList<PSSpecifier*>& rows = loaded.specifiers;
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0]->cellType(), PSListItemCell);
    EXPECT_EQ(rows[0]->name(), "no cell");
    EXPECT_EQ(rows[1]->propertyForKey("key").toList().size(), 2); // kept as given
    EXPECT_EQ(rows[1]->name(), "12");
    EXPECT_TRUE(rows[2]->properties().isEmpty());
}

TEST(SpecifierListLoader, ALocalizedListIsPreferredAndAnUnusableOneGivesNothing) {
    const QByteArray shared = list({{"items", QVariantList{QVariantMap{{"label", "shared"}}}}});
    const QByteArray english = list({{"items", QVariantList{QVariantMap{{"label", "english"}}}}});
    const LoadedList localized({{"Root.plist", shared}, {"en.lproj/Root.plist", english}});
    ASSERT_EQ(localized.specifiers.size(), 1);
    EXPECT_EQ(localized.specifiers[0]->name(), "english");

    const struct {
        const char* what;
        QByteArray bytes; // none: no file
        QString name;
    } cases[] = {
        {"items not a list", list({{"items", "x"}}), "Root"},
        {"root a list", PropertyList::toXml(QVariantList{QVariantMap{{"cell", "x"}}}), "Root"},
        {"not a property list", "<plist><dict><key>items</key><array>", "Root"},
        {"no such list", shared, "Absent"},
    };
    for (const auto& c : cases) {
        MessageLog quiet; // the controller says on stderr what is missing
        EXPECT_TRUE(LoadedList({{"Root.plist", c.bytes}}, c.name).specifiers.isEmpty()) << c.what;
    }
    ListHost noBundle({});
    EXPECT_TRUE(noBundle.loadSpecifiersFromPlistName("Root", &noBundle).isEmpty());
}

} // namespace
