#include "RowListBundle.h"
#include "TestListController.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// Counts that cover the cases the grouping must survive: none, zero and below, text, overlaps
// and runs past the end of the list.
QVariant randomCount(QRandomGenerator& random, int rows) {
    switch (random.bounded(8)) {
    case 0:
        return qint64(0);
    case 1:
        return qint64(-random.bounded(1, 4));
    case 2:
        return QString::number(random.bounded(1, 6));
    case 3:
        return qint64(rows + random.bounded(1, 10)); // beyond the end
    default:
        return qint64(random.bounded(1, 6));
    }
}

QVariant randomValue(QRandomGenerator& random) {
    switch (random.bounded(6)) {
    case 0:
        return QVariant(); // nothing stored: the row's default
    case 1:
        return false;
    case 2:
        return qint64(0);
    case 3:
        return QStringLiteral("0");
    case 4:
        return QStringLiteral("0.0");
    default:
        return true;
    }
}

QVariantList randomList(QRandomGenerator& random, int rows) {
    QVariantList items{groupRow("G")};
    for (int i = 0; i < rows; ++i) {
        const QString key = QStringLiteral("r%1").arg(i);
        const QVariantMap extra{{"default", i % 3 == 0 ? QVariant(false) : QVariant(true)}};
        items.append(random.bounded(3) == 0 ? controlRow(key, randomCount(random, rows), extra)
                                            : switchRow(key, extra));
    }
    return items;
}

// The reverse map answers exactly what walking every group answers, row for row, on random
// lists with overlapping groups, over many stored states.
TEST(ReverseMap, AgreesWithTheScanOfEveryGroup) {
    QRandomGenerator random(20261206);
    TempDeviceRoot root;
    int collapsedSeen = 0;
    for (int list = 0; list < 40; ++list) {
        const int rows = random.bounded(1, 60);
        TestListController controller;
        controller.setBundle(makeRowListBundle(root, randomList(random, rows)));
        controller.view();
        const QList<PSSpecifier*> specifiers = controller.specifiers();
        for (int state = 0; state < 8; ++state) {
            controller.stored.clear();
            for (int i = 0; i < rows; ++i) {
                const QVariant value = randomValue(random);
                if (value.isValid())
                    controller.stored.insert(QStringLiteral("r%1").arg(i), value);
            }
            for (PSSpecifier* specifier : specifiers) {
                SCOPED_TRACE(QStringLiteral("list %1 state %2 row %3")
                                 .arg(list)
                                 .arg(state)
                                 .arg(specifiers.indexOf(specifier))
                                 .toStdString());
                const bool byMap = controller.collapsingGroup(specifier).has_value();
                ASSERT_EQ(byMap, controller.collapsingGroupByScan(specifier).has_value());
                collapsedSeen += byMap ? 1 : 0;
            }
        }
    }
    EXPECT_GT(collapsedSeen, 100); // the lists did exercise collapsing
}

// A group added to or removed from the shared dictionary after it was set is seen by the
// next query, as the scan would see it.
TEST(ReverseMap, FollowsChangesMadeToTheSharedDictionary) {
    TempDeviceRoot root;
    TestListController controller;
    controller.setBundle(
        makeRowListBundle(root, {groupRow("G"), switchRow("a"), switchRow("b"), switchRow("c")}));
    controller.view();
    const QList<PSSpecifier*> list = controller.specifiers();
    controller.stored.insert("a", false);
    ASSERT_FALSE(controller.collapsingGroup(list.at(2)));

    controller.dynamicSpecifiers()->insert(1, {list.at(2)});
    controller.setHasDynamicSpecifiers(true);
    EXPECT_EQ(controller.collapsingGroup(list.at(2)), std::optional<quint64>(1));

    (*controller.dynamicSpecifiers())[1].clear();
    EXPECT_FALSE(controller.collapsingGroup(list.at(2)));

    auto replaced = std::make_shared<QEVRootListController::NestedGroups>();
    replaced->insert(1, {list.at(3)});
    controller.setDynamicSpecifiers(replaced);
    EXPECT_FALSE(controller.collapsingGroup(list.at(2)));
    EXPECT_EQ(controller.collapsingGroup(list.at(3)), std::optional<quint64>(1));
}

} // namespace
