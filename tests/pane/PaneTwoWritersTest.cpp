// The pane and an add-on storing into one file at the same moment, each its own keys: the
// racing-writer row of the stress tests. Both children are set up first and let go together;
// each makes a bounded number of stores, and the test waits for their ends, not for a time.
#include "WriterProcess.h"
#include "pane/writer/WriterSequence.h"

#include "common/TempDeviceRoot.h"

#include "foundation/PropertyList.h"
#include "pane/TOLVPLAYERPreferencesListController.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

constexpr int kWritesEach = 300;
constexpr int kStartTimeoutMs = 30000;
constexpr int kRunTimeoutMs = 180000;

// How many of `count` keys the file lacks.
int lost(const QVariantMap& file, QString (*key)(int)) {
    int missing = 0;
    for (int index = 0; index < kWritesEach; ++index)
        missing += file.value(key(index)) != QVariant(true);
    return missing;
}

struct Addon {
    const char* mode;
    // Through the read-modify-write the pane shares, neither side loses a key. A blind add-on
    // that reads, edits and replaces can undo the pane's stores (and, reading the file while
    // the pane merges, its own), and the pane cannot stop it; its last store still stands.
    bool losesNothing;
};

class PaneTwoWriters : public testing::TestWithParam<Addon> {};

TEST_P(PaneTwoWriters, TheFileStaysWholeAndKeepsWhatTheWritersMustNotLose) {
    TempDeviceRoot root;
    const QString path = root.hostPath(TOLVPLAYERPreferencesListController::kPreferencesPath);
    ASSERT_TRUE(root.writeFile(
        WriterSequence::kWritersBundle + "Root.plist",
        PropertyList::toXml(QVariantMap{{"items", WriterSequence::writerRows(kWritesEach)}})));
    ASSERT_TRUE(PropertyList::writeDictionary({{"kept", "by both"}}, path));

    const QString count = QString::number(kWritesEach);
    WriterProcess pane({"pane", root.path(), count}, root.path());
    WriterProcess addon({GetParam().mode, root.path(), count}, root.path());
    ASSERT_TRUE(pane.awaitByte('R', kStartTimeoutMs)) << "the pane child did not start";
    ASSERT_TRUE(addon.awaitByte('R', kStartTimeoutMs)) << "the add-on child did not start";
    ASSERT_TRUE(pane.send("G", 1) && addon.send("G", 1));
    for (WriterProcess* writer : {&pane, &addon}) {
        const std::optional<int> status = writer->finish(kRunTimeoutMs);
        ASSERT_TRUE(status) << "a writer did not finish";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
            << "status " << *status << " (3: some stores failed)";
    }

    const std::optional<QVariantMap> file = PropertyList::readDictionary(path);
    ASSERT_TRUE(file) << "the file is no longer a dictionary";
    EXPECT_EQ(file->value("kept"), "by both");
    EXPECT_EQ(file->value(WriterSequence::addonKey(kWritesEach - 1)), true);
    const int paneLost = lost(*file, WriterSequence::paneKey);
    const int addonLost = lost(*file, WriterSequence::addonKey);
    EXPECT_TRUE(!GetParam().losesNothing || paneLost + addonLost == 0)
        << paneLost << " and " << addonLost << " keys lost";
    // Nothing but what the two wrote.
    EXPECT_EQ(file->size(), 1 + 2 * kWritesEach - paneLost - addonLost);
}

INSTANTIATE_TEST_SUITE_P(Pane, PaneTwoWriters,
                         testing::Values(Addon{"addon", true}, Addon{"blind", false}),
                         [](const auto& info) { return std::string(info.param.mode); });

} // namespace
