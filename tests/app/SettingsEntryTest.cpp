#include "SettingsEntry.h"
#include "common/InstalledRoot.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsEntries, ListsUsableEntriesAndSkipsTheRest) {
    InstalledRoot root;
    root.writeEntry("other.plist", {{"bundle", "other"}, {"label", "Another"}});
    root.writeEntry("nolabel.plist", {{"bundle", "nolabel"}});
    root.writeEntry("escape.plist", {{"bundle", "../../../etc"}, {"label", "Escape"}});
    root.writeEntry("nobundle.plist", {{"label", "No Bundle"}});
    root.writeEntry("badicon.plist",
                    {{"bundle", "b"}, {"label", "Bad Icon"}, {"icon", "../x.png"}});
    root.writeFile(InstalledRoot::kEntries + "/garbage.plist", "not a plist");
    root.writeFile(InstalledRoot::kEntries + "/list.plist", PropertyList::toXml(QVariantList{1}));
    root.writeFile(InstalledRoot::kEntries + "/readme.txt", "ignored");

    QStringList names;
    const QList<SettingsEntry> entries = SettingsEntry::installedEntries();
    for (const SettingsEntry& entry : entries)
        names.append(entry.name);
    EXPECT_EQ(names, (QStringList{"Another", "Bad Icon", "nolabel", "TOLVPlayer"}));

    const SettingsEntry& pane = entries.last();
    EXPECT_EQ(pane.bundleName, "tolvplayerprefs");
    EXPECT_EQ(pane.bundleHostPath(), root.hostPath(InstalledRoot::kBundle));
    EXPECT_EQ(pane.iconHostPath(), root.hostPath(InstalledRoot::kBundle + "/icon.png"));
    EXPECT_TRUE(entries.at(1).iconName.isEmpty());
    EXPECT_TRUE(pane.matches("tolvplayer"));
    EXPECT_TRUE(pane.matches("tolvplayerprefs"));
    EXPECT_FALSE(pane.matches("tolv"));

    TempDeviceRoot empty; // no entries directory at all
    EXPECT_TRUE(SettingsEntry::installedEntries().isEmpty());
}

} // namespace
