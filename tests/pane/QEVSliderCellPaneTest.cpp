#include "PaneFixture.h"

#include "cells/QEVSliderCell.h"
#include "cells/QEVValueLabel.h"
#include "preferences/PSCellClassRegistry.h"
#include "preferences/UISlider.h"
#include "preferences/UITableView.h"
#include "uikit/UIAlertController.h"
#include "uikit/UITextField.h"

#include <QFile>
#include <QPushButton>
#include <algorithm>

namespace {

QVariantMap sliderRow(const QString& key, double minimum, double maximum,
                      const QVariantMap& extra = {}) {
    QVariantMap row{{"cell", "PSSliderCell"}, {"cellClass", "QEVSliderCell"},
                    {"label", key},           {"key", key},
                    {"min", minimum},         {"max", maximum}};
    row.insert(extra);
    return row;
}

TEST(QEVSliderCellInPane, EveryStepIsWrittenAndAnnouncedOnce) {
    if (!haveSessionBus())
        GTEST_SKIP() << "no session bus";
    TempDeviceRoot root;
    ASSERT_TRUE(PropertyList::writeDictionary({{"kept", "yes"}, {"speed", 2.5}},
                                              root.hostPath(kPrefsDevicePath)));
    // A controlling row, so that every store also recomputes the row heights.
    ShownPane shown(makeRowListBundle(
        root, {groupRow("G"), controlRow("on", 1, {{"default", true}}), switchRow("dep"),
               sliderRow("speed", 0, 10), sliderRow("skip", 5, 60, {{"default", 15}})}));
    QEVSliderCell* speed = shown.cellAt<QEVSliderCell>(3);
    ASSERT_NE(speed, nullptr);
    ASSERT_EQ(speed->valueLabel()->text(), "2.50");
    ReloadCounter reloads;
    const auto stored = [&](const QString& key) {
        return PropertyList::readDictionary(root.hostPath(kPrefsDevicePath))->value(key);
    };

    const int heightsBefore = shown.pane->heightQueries;
    QTest::mouseClick(speed->plusButton(), Qt::LeftButton);
    EXPECT_EQ(stored("speed"), QVariant(double(2.6f)));
    EXPECT_EQ(reloads.settled(), 1);
    EXPECT_GT(shown.pane->heightQueries, heightsBefore);

    QTest::mouseClick(speed->minusButton(), Qt::LeftButton);
    QTest::mouseClick(speed->minusButton(), Qt::LeftButton);
    EXPECT_EQ(stored("speed"), QVariant(double(2.4f)));
    EXPECT_EQ(reloads.settled(), 3);

    // Held: each timer tick is one step, one write, one announcement.
    speed->startIncrementTimer();
    QTRY_VERIFY_WITH_TIMEOUT(stored("speed").toDouble() > 2.55, 2000);
    speed->stopIncrementTimer();
    const int ticks = qRound((stored("speed").toDouble() - 2.4) / 0.1);
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(stored("speed"), QVariant(double(speed->control()->value())));
    EXPECT_EQ(reloads.settled(), 3 + ticks);

    // At the bound a step still stores (the same value) and announces. The bound is in the
    // file, where a step starts.
    QEVSliderCell* skip = shown.cellAt<QEVSliderCell>(4);
    ASSERT_NE(skip, nullptr);
    QVariantMap entries = *PropertyList::readDictionary(root.hostPath(kPrefsDevicePath));
    entries.insert("skip", 60.0);
    ASSERT_TRUE(PropertyList::writeDictionary(entries, root.hostPath(kPrefsDevicePath)));
    skip->incrementValue();
    EXPECT_EQ(stored("skip"), QVariant(60.0));
    EXPECT_EQ(reloads.settled(), 4 + ticks);
    EXPECT_EQ(stored("kept"), "yes");
}

TEST(QEVSliderCellInPane, TypedEntryIsWrittenAndAnnounced) {
    if (!haveSessionBus())
        GTEST_SKIP() << "no session bus";
    TempDeviceRoot root;
    ShownPane shown(makeRowListBundle(root, {groupRow("G"), sliderRow("gain", -20, 20)}));
    QEVSliderCell* gain = shown.cellAt<QEVSliderCell>(1);
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->valueLabel()->text(), "0.00"); // nothing stored, no default
    ReloadCounter reloads;
    QTest::mouseClick(gain->valueLabel(), Qt::LeftButton);
    auto* alert = qobject_cast<UIAlertController*>(shown.pane->presentedViewController());
    ASSERT_NE(alert, nullptr);
    alert->textFields().first()->setText("12.75");
    alert->triggerAction(alert->actions().first());
    EXPECT_EQ(PropertyList::readDictionary(root.hostPath(kPrefsDevicePath)),
              (QVariantMap{{"gain", 12.75}}));
    EXPECT_EQ(reloads.settled(), 1);
    EXPECT_EQ(gain->valueLabel()->text(), "12.75");
}

// The shipped row list: its slider rows are this cell, 50 high, with their defaults shown.
TEST(QEVSliderCellInPane, ShippedRowsAreSliderCellsFiftyHigh) {
    TempDeviceRoot root;
    const QString device = QStringLiteral("/bundles/shipped-slider.bundle/");
    const QDir resources(QStringLiteral(QEV_SOURCE_DIR "/resources/bundle"));
    for (const QString& name : QStringList{"Info.plist", "Root.plist", "en.lproj/Root.strings",
                                           "zh-Hans.lproj/Root.strings"}) {
        QFile file(resources.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        ASSERT_TRUE(root.writeFile(device + name, file.readAll()));
    }
    ShownPane shown(NSBundle::bundleWithPath(root.hostPath(device)));
    const QMap<QString, QString> expected{{"volume", "0.80"},
                                          {"playbackSpeed", "1.00"},
                                          {"skipSeconds", "15.00"},
                                          {"lyricsOffset", "0.00"},
                                          {"sleepMinutes", "0.00"}};
    int found = 0;
    for (PSSpecifier* row : shown.pane->specifiers()) {
        const QString key = row->propertyForKey("key").toString();
        if (!expected.contains(key))
            continue;
        ++found;
        SCOPED_TRACE(key.toStdString());
        const auto path = shown.pane->indexPathForSpecifier(row);
        ASSERT_TRUE(path);
        UITableView* table = shown.pane->table();
        const double y = table->rectForRowAtIndexPath(*path).y();
        table->setContentOffset(QPointF(0, std::min(y, table->maximumContentOffsetY())));
        table->finishAnimations(); // its cell is made once it scrolls into view
        auto* cell = qobject_cast<QEVSliderCell*>(row->cell());
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(shown.pane->table()->rectForRowAtIndexPath(*path).height(), 50);
        EXPECT_EQ(cell->valueLabel()->text(), expected.value(key));
        EXPECT_FALSE(cell->sliderLabel()->text().isEmpty());
    }
    EXPECT_EQ(found, expected.size());
}

} // namespace
