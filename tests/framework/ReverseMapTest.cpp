#include "PaneList.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// A random row list: a third of the rows control a group whose count is zero, negative, text,
// past the end of the list or plain; each row defaults to on or off.
QVariantList randomList(QRandomGenerator& random, int rows) {
    QVariantList items{groupRow("G")};
    for (int i = 0; i < rows; ++i) {
        const QVariant counts[] = {0, -random.bounded(1, 4), QString::number(random.bounded(1, 6)),
                                   rows + random.bounded(1, 10), random.bounded(1, 6)};
        const QVariantMap extra{{"default", i % 3 != 0}};
        const QString key = QStringLiteral("r%1").arg(i);
        items.append(random.bounded(3) == 0
                         ? controlRow(key, counts[std::min(random.bounded(8), 4)], extra)
                         : switchRow(key, extra));
    }
    return items;
}

// The reverse map answers exactly what walking every group answers, row for row, on random
// lists with overlapping groups, over many stored states.
TEST(ReverseMap, AgreesWithTheScanOfEveryGroup) {
    TempDeviceRoot root;
    QRandomGenerator random(20261206);
    int collapsedSeen = 0;
    for (int n = 0; n < 40; ++n) {
        const int rows = random.bounded(1, 60);
        PaneList list(root, randomList(random, rows));
        RecordingListController<QEVRootListController>& controller = list.controller;
        for (int state = 0; state < 8; ++state) {
            controller.stored.clear();
            for (int i = 0; i < rows; ++i) {
                const QVariant values[] = {QVariant(), false, 0, "0", "0.0", true};
                const QVariant value = values[random.bounded(6)];
                if (value.isValid())
                    controller.stored.insert(QStringLiteral("r%1").arg(i), value);
            }
            // Alone, and within a height pass, which gathers the collapsed rows at once.
            for (const bool inPass : {false, true}) {
                if (inPass)
                    controller.heightPassWillBegin(nullptr);
                for (PSSpecifier* specifier : controller.specifiers()) {
                    const std::optional<quint64> byMap = controller.collapsingGroup(specifier);
                    ASSERT_EQ(byMap, controller.collapsingGroupByScan(specifier))
                        << "list " << n << " state " << state << " in pass " << inPass << " row "
                        << controller.specifiers().indexOf(specifier);
                    collapsedSeen += byMap ? 1 : 0;
                }
                if (inPass)
                    controller.heightPassDidEnd(nullptr);
            }
        }
    }
    EXPECT_GT(collapsedSeen, 200); // the lists did exercise collapsing
}

// A group added to or removed from the shared dictionary after it was set, and a controlling
// row stored anew, are seen by the next query, as the scan would see them: alone, and within a
// height pass, which gathers its answers at its first query.
TEST(ReverseMap, FollowsChangesMadeToTheSharedDictionary) {
    for (const bool inPass : {false, true}) {
        SCOPED_TRACE(inPass ? "within a height pass" : "alone");
        TempDeviceRoot root;
        PaneList list(root, {groupRow("G"), switchRow("a"), switchRow("b"), switchRow("c")});
        RecordingListController<QEVRootListController>& controller = list.controller;
        if (inPass)
            controller.heightPassWillBegin(nullptr);
        controller.stored.insert("a", false);
        ASSERT_FALSE(controller.collapsingGroup(list.row(2)));

        controller.dynamicSpecifiers()->insert(1, {list.row(2)});
        controller.setHasDynamicSpecifiers(true);
        EXPECT_EQ(controller.collapsingGroup(list.row(2)), std::optional<quint64>(1));

        (*controller.dynamicSpecifiers())[1].clear();
        EXPECT_FALSE(controller.collapsingGroup(list.row(2)));

        auto replaced = std::make_shared<QEVRootListController::NestedGroups>();
        replaced->insert(1, {list.row(3)});
        controller.setDynamicSpecifiers(replaced);
        EXPECT_FALSE(controller.collapsingGroup(list.row(2)));
        EXPECT_EQ(controller.collapsingGroup(list.row(3)), std::optional<quint64>(1));

        controller.setPreferenceValue(true, list.row(1));
        EXPECT_FALSE(controller.collapsingGroup(list.row(3)));
        if (inPass)
            controller.heightPassDidEnd(nullptr);
    }
}

} // namespace
