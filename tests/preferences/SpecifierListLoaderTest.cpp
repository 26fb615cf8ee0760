#include "TestListController.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "preferences/PSSpecifier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A bundle directory holding row lists and English strings tables.
class TestBundle {
public:
    TestBundle() { QDir(_dir.path()).mkpath("en.lproj"); }
    void writeList(const QString& name, const QVariant& root) {
        write(name + ".plist", PropertyList::toXml(root));
    }
    void write(const QString& file, const QByteArray& bytes) {
        QFile f(_dir.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    NSBundle* bundle() { return NSBundle::bundleWithPath(_dir.path()); }

private:
    QTemporaryDir _dir;
};

QList<PSSpecifier*> load(TestBundle& files, TestListController& controller,
                         const QString& name = "Root") {
    controller.setBundle(files.bundle());
    return controller.loadSpecifiersFromPlistName(name, &controller);
}

} // namespace

TEST(SpecifierListLoader, LoadsItemsInOrderWithEveryKeyAndTranslatedLabels) {
    TestBundle files;
    files.write("en.lproj/Localizable.strings", "\"Title\" = \"Player\";\n\"Sound\" = \"声音\";");
    files.write("en.lproj/Extra.strings", "\"Volume\" = \"音量\";\n\"Note\" = \"说明\";");
    files.writeList("Root", QVariantMap{
                                {"title", "Title"},
                                {"items",
                                 QVariantList{
                                     QVariantMap{{"cell", "PSGroupCell"},
                                                 {"label", "Sound"},
                                                 {"footerText", "Note"},
                                                 {"localizationTable", "Extra"}},
                                     QVariantMap{{"cell", "PSSliderCell"},
                                                 {"label", "Volume"},
                                                 {"key", "volume"},
                                                 {"default", 0.5},
                                                 {"min", 0.0},
                                                 {"max", 1.0},
                                                 {"height", 50},
                                                 {"localizationTable", "Extra"},
                                                 {"custom", "kept"}},
                                     QVariantMap{{"cell", "PSSwitchCell"},
                                                 {"label", "Untranslated"},
                                                 {"key", "on"},
                                                 {"id", "onID"},
                                                 {"cellClass", "QEVSwitchCell"}},
                                 }},
                            });
    TestListController controller({});
    const QList<PSSpecifier*> specifiers = load(files, controller);
    ASSERT_EQ(specifiers.size(), 3);
    EXPECT_EQ(controller.title(), "Player");
    EXPECT_EQ(specifiers[0]->cellType(), PSGroupCell);
    EXPECT_EQ(specifiers[0]->name(), "Sound"); // the group's own table has no "Sound"
    EXPECT_EQ(specifiers[0]->footerText(), "说明");
    EXPECT_EQ(specifiers[1]->name(), "音量");
    EXPECT_EQ(specifiers[1]->propertyForKey("label"), QVariant("Volume")); // the key stays
    EXPECT_EQ(specifiers[1]->propertyForKey("custom"), QVariant("kept"));
    EXPECT_EQ(specifiers[1]->propertyForKey("height"), QVariant(qint64(50)));
    EXPECT_EQ(specifiers[2]->name(), "Untranslated");
    EXPECT_EQ(specifiers[2]->identifier(), "onID");
    EXPECT_EQ(specifiers[2]->cellClassName(), "QEVSwitchCell");
    for (PSSpecifier* specifier : specifiers) {
        EXPECT_EQ(specifier->target(), &controller);
        EXPECT_EQ(specifier->parent(), &controller);
    }
}

// Rows of a list file are read from it only when asked for; they answer as the same rows
// given in memory, also once changed, and a "cellObject" entry in the file is no cell.
TEST(SpecifierListLoader, RowsReadFromAFileAnswerAsRowsInMemory) {
    const QVariantMap list{
        {"items",
         QVariantList{
             QVariantMap{{"cell", "PSGroupCell"}, {"label", "G"}, {"footerText", "F"}},
             QVariantMap{{"cell", "PSSwitchCell"},
                         {"label", "A & <B>"},
                         {"key", "a"},
                         {"default", true},
                         {"cellObject", "not a cell"},
                         {"nested", QVariantMap{{"x", QVariantList{-1, 2.5, ""}}}}},
             QVariantMap{{"cell", "PSSliderCell"}, {"label", QString::fromUtf8("音量")}, {"id", 7}},
         }}};
    TestBundle files;
    files.writeList("Root", list);
    TestListController fromFile({});
    const QList<PSSpecifier*> read = load(files, fromFile);
    // In memory, with the values as libplist reads them from the same file.
    const QByteArray xml = PropertyList::toXml(list);
    TestListController inMemory(PropertyList::parseWithLibplist(xml)->toMap()["items"].toList());
    const QList<PSSpecifier*> given = inMemory.specifiers();
    ASSERT_EQ(read.size(), 3);
    ASSERT_EQ(given.size(), 3);
    for (int i = 0; i < 3; ++i) {
        for (int changed = 0; changed < 2; ++changed) {
            const auto answers = [](PSSpecifier* s) {
                return QVariantList{s->properties(), s->propertyForKey("nested"),
                                    s->name(),       s->footerText(),
                                    s->identifier(), s->cellType()};
            };
            EXPECT_EQ(answers(read[i]), answers(given[i])) << i << changed;
            EXPECT_EQ(read[i]->propertyForKey("cellObject"), QVariant()) << i << changed;
            for (PSSpecifier* specifier : {read[i], given[i]}) {
                specifier->setProperty("PSGroupCell", "cell");
                specifier->removePropertyForKey("key");
            }
        }
        EXPECT_EQ(read[i]->cellType(), PSGroupCell);
    }
}

TEST(SpecifierListLoader, ListTableTranslatesItemsWithoutTheirOwn) {
    TestBundle files;
    files.write("en.lproj/Pane.strings", "\"A\" = \"甲\";\n\"B\" = \"乙\";");
    files.write("en.lproj/Other.strings", "\"B\" = \"丙\";");
    files.writeList(
        "Root",
        QVariantMap{
            {"localizationTable", "Pane"},
            {"items", QVariantList{QVariantMap{{"label", "A"}},
                                   QVariantMap{{"label", "B"}, {"localizationTable", "Other"}}}},
        });
    TestListController controller({});
    const QList<PSSpecifier*> specifiers = load(files, controller);
    ASSERT_EQ(specifiers.size(), 2);
    // Labels are translated when first asked for, but as the row was loaded.
    specifiers[1]->setProperty("A", "label");
    EXPECT_EQ(specifiers[0]->name(), "甲");
    EXPECT_EQ(specifiers[1]->name(), "丙");
    EXPECT_FALSE(specifiers[0]->properties().contains("localizationTable"));
}

TEST(SpecifierListLoader, OddItemsAreKeptOrSkippedNeverFatal) {
    TestBundle files;
    files.writeList(
        "Root",
        QVariantMap{
            {"items",
             QVariantList{
                 QVariantMap{{"label", "no cell"}},
                 "a text, not a dictionary",
                 QVariantMap{{"cell", "PSSwitchCell"}, {"key", QVariantList{1, 2}}, {"label", 12}},
                 QVariantList{QVariantMap{{"cell", "PSSwitchCell"}}},
                 QVariantMap{{"cell", "PSSliderCell"}, {"min", 5}, {"max", 1}, {"height", "tall"}},
                 qint64(42),
                 QVariantMap{},
             }}});
    TestListController controller({});
    const QList<PSSpecifier*> specifiers = load(files, controller);
    ASSERT_EQ(specifiers.size(), 4);
    EXPECT_EQ(specifiers[0]->cellType(), PSListItemCell);
    EXPECT_EQ(specifiers[0]->name(), "no cell");
    EXPECT_EQ(specifiers[1]->propertyForKey("key").toList().size(), 2); // kept as given
    EXPECT_EQ(specifiers[1]->name(), "12");
    EXPECT_EQ(specifiers[1]->identifier(), "12");
    EXPECT_EQ(specifiers[2]->propertyForKey("min"), QVariant(qint64(5)));
    EXPECT_EQ(specifiers[3]->properties().size(), 0);
}

TEST(SpecifierListLoader, UnusableListsGiveNothing) {
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"items not a list", PropertyList::toXml(QVariantMap{{"items", "x"}})},
        {"items missing", PropertyList::toXml(QVariantMap{{"title", "T"}})},
        {"root a list", PropertyList::toXml(QVariantList{QVariantMap{{"cell", "PSSwitchCell"}}})},
        {"not a property list", "<plist><dict><key>items</key><array>"},
        {"empty file", ""},
        {"binary junk", QByteArray("bplist00\xff\xff\xff", 11)},
    };
    for (const auto& c : cases) {
        TestBundle files;
        files.write("Root.plist", c.bytes);
        TestListController controller({});
        EXPECT_TRUE(load(files, controller).isEmpty()) << c.what;
    }
}

TEST(SpecifierListLoader, MissingFileOrBundleGivesNothing) {
    TestBundle files;
    TestListController controller({});
    EXPECT_TRUE(load(files, controller, "Absent").isEmpty());
    EXPECT_TRUE(load(files, controller, "").isEmpty());
    controller.setBundle(nullptr);
    EXPECT_TRUE(controller.loadSpecifiersFromPlistName("Root", &controller).isEmpty());
}

TEST(SpecifierListLoader, LocalizedListIsPreferredOverTheSharedOne) {
    TestBundle files;
    files.writeList("Root", QVariantMap{{"items", QVariantList{QVariantMap{{"label", "shared"}}}}});
    files.writeList("en.lproj/Root",
                    QVariantMap{{"items", QVariantList{QVariantMap{{"label", "english"}}}}});
    TestListController controller({});
    const QList<PSSpecifier*> specifiers = load(files, controller);
    ASSERT_EQ(specifiers.size(), 1);
    EXPECT_EQ(specifiers[0]->name(), "english");
}
