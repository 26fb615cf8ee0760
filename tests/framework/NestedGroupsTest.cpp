#include "PaneList.h"

#include <gtest/gtest.h>

namespace {

using Groups = QMap<quint64, QList<int>>;

QVariantMap plain(int n) {
    return switchRow(QStringLiteral("row%1").arg(n));
}

// The list index of every member of every group.
Groups groupIndices(PaneList& list) {
    Groups result;
    const QList<PSSpecifier*> rows = list.controller.specifiers();
    const auto groups = list.controller.dynamicSpecifiers();
    for (auto it = groups->cbegin(); it != groups->cend(); ++it) {
        QList<int>& indices = result[it.key()];
        for (PSSpecifier* member : it.value())
            indices.append(int(rows.indexOf(member)));
    }
    return result;
}

// How rows are gathered into nested groups, for counts of every kind a row list may hold.
TEST(NestedGroups, AreGatheredFromTheRowList) {
    TempDeviceRoot root;
    const struct {
        const char* what;
        QVariantList items;
        Groups expected;
    } cases[] = {
        {"count 0 is an empty group", {controlRow("c", 0), plain(1)}, {{0, {}}}},
        {"index 2 count 2 in five rows",
         {plain(0), plain(1), controlRow("c", 2), plain(3), plain(4)},
         {{2, {3, 4}}}},
        {"negative count", {controlRow("c", -1), plain(1)}, {{0, {}}}},
        {"count past the end of the list", {plain(0), controlRow("c", 5), plain(2)}, {{1, {2}}}},
        {"text with blanks, sign and tail", {controlRow("c", " +1 rows"), plain(1)}, {{0, {1}}}},
        {"text beyond 64 bits",
         {controlRow("c", "99999999999999999999"), plain(1), plain(2)},
         {{0, {1, 2}}}},
        {"real is truncated", {controlRow("c", 1.9), plain(1), plain(2)}, {{0, {1}}}},
        {"data is no count", {controlRow("c", QByteArray("\x02", 1)), plain(1)}, {}},
        {"overlapping groups",
         {controlRow("a", 3), controlRow("b", 2), plain(2), plain(3)},
         {{0, {1, 2, 3}}, {1, {2, 3}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PaneList list(root, c.items);
        EXPECT_EQ(groupIndices(list), c.expected);
        EXPECT_EQ(list.controller.hasDynamicSpecifiers(), !c.expected.isEmpty());
        EXPECT_EQ(list.controller.specifiers().size(), c.items.size()); // the list stays whole
    }
}

} // namespace
