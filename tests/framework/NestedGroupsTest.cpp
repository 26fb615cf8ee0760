#include "RowListBundle.h"
#include "TestListController.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

using Groups = QMap<quint64, QList<int>>;

struct GroupCase {
    const char* name;
    QVariantList items;
    Groups expected;
};

QVariantMap plain(int n) {
    return switchRow(QStringLiteral("row%1").arg(n));
}

// How rows are gathered into nested groups, for counts of every kind a row list may hold.
TEST(NestedGroups, AreGatheredFromTheRowList) {
    const quint64 hugeUnsigned = 18446744073709551615ULL;
    const GroupCase cases[] = {
        {"no count", {plain(0), plain(1)}, {}},
        {"count 0 is an empty group", {controlRow("c", 0), plain(1)}, {{0, {}}}},
        {"index 2 count 3 in five rows",
         {plain(0), plain(1), controlRow("c", 3), plain(3), plain(4)},
         {{2, {3, 4}}}},
        {"negative count", {controlRow("c", -1), plain(1)}, {{0, {}}}},
        {"count at the end of the list", {plain(0), controlRow("c", 5)}, {{1, {}}}},
        {"text count", {controlRow("c", "2"), plain(1), plain(2), plain(3)}, {{0, {1, 2}}}},
        {"text with blanks, sign and tail", {controlRow("c", " +1 rows"), plain(1)}, {{0, {1}}}},
        {"text without a number", {controlRow("c", "abc"), plain(1)}, {{0, {}}}},
        {"text beyond 64 bits",
         {controlRow("c", "99999999999999999999"), plain(1), plain(2)},
         {{0, {1, 2}}}},
        {"real is truncated", {controlRow("c", 1.9), plain(1), plain(2)}, {{0, {1}}}},
        {"negative real", {controlRow("c", -0.5), plain(1)}, {{0, {}}}},
        {"huge real", {controlRow("c", 1e300), plain(1), plain(2)}, {{0, {1, 2}}}},
        {"huge unsigned", {controlRow("c", hugeUnsigned), plain(1)}, {{0, {1}}}},
        {"boolean true counts one", {controlRow("c", true), plain(1), plain(2)}, {{0, {1}}}},
        {"list is no count", {controlRow("c", QVariantList{2}), plain(1)}, {}},
        {"dictionary is no count", {controlRow("c", QVariantMap{{"n", 2}}), plain(1)}, {}},
        {"date is no count",
         {controlRow("c", QDateTime::fromSecsSinceEpoch(2, Qt::UTC)), plain(1)},
         {}},
        {"data is no count", {controlRow("c", QByteArray("\x02", 1)), plain(1)}, {}},
        {"overlapping groups",
         {controlRow("a", 3), controlRow("b", 2), plain(2), plain(3)},
         {{0, {1, 2, 3}}, {1, {2, 3}}}},
        {"chain", {controlRow("a", 1), controlRow("b", 1), plain(2)}, {{0, {1}}, {1, {2}}}},
        {"group rows are gathered too",
         {controlRow("a", 2), groupRow("G"), plain(2), plain(3)},
         {{0, {1, 2}}}},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDeviceRoot root;
        TestListController controller;
        controller.setBundle(makeRowListBundle(root, c.items));
        controller.view();
        EXPECT_EQ(controller.groupIndices(), c.expected);
        EXPECT_EQ(controller.hasDynamicSpecifiers(), !c.expected.isEmpty());
        // The list itself is left as it was loaded.
        EXPECT_EQ(controller.specifiers().size(), c.items.size());
    }
}

TEST(NestedGroups, ARebuildDropsEarlierGroups) {
    TempDeviceRoot root;
    TestListController controller;
    controller.setBundle(makeRowListBundle(root, {controlRow("a", 1), plain(1)}));
    controller.view();
    const auto before = controller.dynamicSpecifiers();
    ASSERT_EQ(before->size(), 1);

    controller.setupNestedSpecifiers({controller.specifiers().at(1)});
    EXPECT_TRUE(controller.dynamicSpecifiers()->isEmpty());
    EXPECT_FALSE(controller.hasDynamicSpecifiers());
    EXPECT_EQ(before->size(), 1); // the old dictionary is replaced, not emptied in place
}

TEST(RowList, IsLoadedOnceAndRetriedWhileMissing) {
    TempDeviceRoot root;
    TestListController controller;
    NSBundle* bundle = makeRowListBundle(root, {plain(0), plain(1)});
    const QString rootList = bundle->pathForResource("Root", "plist");
    ASSERT_FALSE(rootList.isEmpty());
    QFile::remove(rootList);
    controller.setBundle(bundle);

    EXPECT_TRUE(controller.specifiers().isEmpty());
    ASSERT_TRUE(root.writeFile(
        rootList.mid(root.path().size()),
        PropertyList::toXml(QVariantMap{{"items", QVariantList{plain(0), plain(1)}}})));
    const QList<PSSpecifier*> first = controller.specifiers();
    ASSERT_EQ(first.size(), 2);

    // A changed file is not read again: the list stays the one first loaded.
    root.writeFile(rootList.mid(root.path().size()),
                   PropertyList::toXml(QVariantMap{{"items", QVariantList{plain(9)}}}));
    EXPECT_EQ(controller.specifiers(), first);
    for (PSSpecifier* specifier : first)
        EXPECT_EQ(specifier->target(), &controller);
}

} // namespace
