#include "ListHost.h"

#include "common/Eventually.h"

#include "preferences/PSCellClassRegistry.h"
#include "preferences/PSEditTextTableCell.h"
#include "preferences/PSSwitchTableCell.h"
#include "preferences/UISwitch.h"
#include "uikit/UIFont.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

QVariantList manySwitches(int count) {
    QVariantList items{groupRow("Group")};
    for (int i = 0; i < count; ++i)
        items << switchRow(QString("k%1").arg(i));
    return items;
}

TEST(UITableView, SectionsHeadersAndFootersComeFromGroups) {
    ListHost controller({
        switchRow("before any group"),
        groupRow("First", {{"footerText", "First footer"}}),
        switchRow("one"),
        cellRow("PSSliderCell", "two", "two"),
        groupRow("Empty"),
        groupRow("", {{"footerText", "Only a footer"}}),
        switchRow("three"),
    });
    UITableView* table = controller.show();
    ASSERT_TRUE(table);
    ASSERT_EQ(table->numberOfSections(), 4);
    const struct {
        int rows;
        const char* header;
        const char* footer;
    } sections[] = {
        {1, "", ""}, {2, "First", "First footer"}, {0, "Empty", ""}, {1, "", "Only a footer"}};
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(table->numberOfRowsInSection(s), sections[s].rows) << s;
        EXPECT_EQ(table->headerTitleForSection(s), sections[s].header) << s;
        EXPECT_EQ(table->footerTitleForSection(s), sections[s].footer) << s;
    }
    EXPECT_EQ(controller.specifierAtIndexPath({1, 1})->name(), "two");
    EXPECT_EQ(controller.indexPathForSpecifier(controller.specifiers().at(6)), (NSIndexPath{3, 0}));
    EXPECT_FALSE(controller.indexPathForSpecifier(controller.specifiers().at(1)).has_value());
    EXPECT_EQ(controller.specifierAtIndexPath({2, 0}), nullptr);
    EXPECT_EQ(controller.specifierAtIndexPath({-1, 0}), nullptr);
    // Sections are stacked in order, each well below the previous.
    EXPECT_GT(table->rectForSection(1).top(), table->rectForSection(0).bottom() + 20);
}

// A header is as high as its text wrapped to the section's width, whatever the text holds.
TEST(UITableView, AHeaderIsAsHighAsItsWrappedText) {
    const QString texts[] = {"Section 12", "x",        QString(60, 'W'),
                             "a\tb",       "播放设置", QString::fromUtf8("Ünïcödé")};
    const double width = 390 - 2 * 16 - 2 * 16; // the section's inset and the text's
    const QFontMetricsF metrics(UIFont::systemFontOfSize(13));
    for (const QString& text : texts) {
        ListHost controller({groupRow(text), switchRow("k")});
        UITableView* table = controller.show();
        ASSERT_TRUE(table);
        const double height =
            metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height();
        EXPECT_EQ(table->rectForSection(0).top(), qRound(17 + height + 7)) << text.toStdString();
    }
}

// Each row's height is asked and used as given where it is a sound height; a cell may give its
// row a height while it is made.
TEST(UITableView, EveryRowsHeightIsAskedAndUsed) {
    PSCellClassRegistry::registerCellClass(
        "TallCell", [](int style, const QString& reuse, PSSpecifier* specifier) {
            specifier->setProperty(50, "height");
            return new PSTableCell(style, reuse, specifier);
        });
    ListHost controller({
        groupRow("G"),
        switchRow("plain"),
        switchRow("fifty", {{"height", 50}}),
        switchRow("text", {{"height", "abc"}}),
        switchRow("numeric text", {{"height", "60"}}),
        switchRow("negative", {{"height", -5}}),
        switchRow("list", {{"height", QVariantList{1}}}),
        switchRow("boolean", {{"height", true}}),
        switchRow("zero", {{"height", 0}}),
        cellRow("PSLinkCell", "made tall", {}, {{"cellClass", "TallCell"}}),
    });
    UITableView* table = controller.show(390, 800);
    ASSERT_TRUE(table);
    EXPECT_GE(controller.heightQueries, 9);
    const int expected[] = {44, 50, 44, 60, 44, 44, 44, 0, 50};
    int top = table->rectForRowAtIndexPath({0, 0}).top();
    for (int r = 0; r < 9; ++r) {
        const QRect rect = table->rectForRowAtIndexPath({0, r});
        EXPECT_EQ(rect.height(), expected[r]) << r;
        EXPECT_EQ(rect.top(), top) << r; // rows follow each other
        top = rect.bottom() + 1;
    }
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 8})->height(), 50);
}

TEST(UITableView, EndUpdatesAsksEveryHeightAgainAndAnimatesToThem) {
    ListHost controller(manySwitches(30));
    UITableView* table = controller.show(390, 300);
    ASSERT_TRUE(table);
    const int cellsMade = controller.cellsMade;
    controller.heightQueries = 0;
    controller.heightOverrides.insert("k1", 80);
    table->beginUpdates();
    table->beginUpdates(); // nested: only the outer end counts
    table->endUpdates();
    EXPECT_EQ(controller.heightQueries, 0);
    table->endUpdates();
    EXPECT_EQ(controller.heightQueries, 30);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).height(), 44); // not there yet
    EXPECT_TRUE(eventually(
        [&] {
            return table->rectForRowAtIndexPath({0, 1}).height() == 80;
        },
        "the row grows to its new height", 2000));
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->height(), 80);
    EXPECT_EQ(controller.cellsMade, cellsMade); // no cell was made again
}

TEST(UITableView, ReloadMakesNewCellsAndLetsTheOldGo) {
    ListHost controller(manySwitches(3));
    ASSERT_TRUE(controller.show());
    PSSpecifier* specifier = controller.specifierAtIndexPath({0, 0});
    QPointer<PSTableCell> old = specifier->cell();
    ASSERT_TRUE(old);
    controller.reloadSpecifiers();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(old);
    EXPECT_TRUE(specifier->cell()); // a new one for the visible row
}

// Ending editing stores what was typed and takes the focus from a text field, but not from
// any other control.
TEST(UITableView, EndEditingStoresTheTextAndLeavesOtherControlsAlone) {
    ListHost controller({groupRow("G"), cellRow("PSEditTextCell", "Name", "name"), switchRow("s")});
    UITableView* table = controller.show();
    ASSERT_TRUE(table);
    QLineEdit* field =
        qobject_cast<PSEditTextTableCell*>(table->cellForRowAtIndexPath({0, 0}))->textField();
    QTest::mouseClick(field, Qt::LeftButton);
    ASSERT_TRUE(field->hasFocus());
    QTest::keyClicks(field, "Ada");
    EXPECT_TRUE(table->endEditing(true));
    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(controller.stored.value("name"), QVariant("Ada"));
    EXPECT_FALSE(table->endEditing(true));
    UISwitch* control =
        qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath({0, 1}))->control();
    control->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(table->endEditing(true));
    EXPECT_TRUE(control->hasFocus());
}

// The offset is reported on every change; it goes negative while the list is pulled down, with
// the header view following, and springs back; the wheel never scrolls past either end.
TEST(UITableView, OffsetFollowsPullsAndWheelsWithinItsBounds) {
    ListHost controller(manySwitches(30));
    auto* header = new QWidget;
    header->setGeometry(0, 0, 200, 200);
    controller.table()->setTableHeaderView(header);
    UITableView* table = controller.show(390, 400);
    ASSERT_TRUE(table);
    EXPECT_EQ(header->geometry(), QRect(0, 0, 390, 200));
    EXPECT_GE(table->rectForRowAtIndexPath({0, 0}).top(), 200);
    table->setContentOffset(QPointF(0, 100));
    table->setContentOffset(QPointF(0, 100)); // no change, no report
    table->setContentOffset(QPointF(0, 0));
    EXPECT_EQ(controller.scrolledTo, (QList<double>{100, 0}));

    QWidget* viewport = table->viewport();
    const QPoint start(200, 250);
    QWidget* under = viewport->childAt(start) ? viewport->childAt(start) : viewport;
    QTest::mousePress(under, Qt::LeftButton, {}, under->mapFrom(viewport, start));
    for (int dy = 10; dy <= 150; dy += 10) {
        QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(0, dy)),
                         viewport->mapToGlobal(QPointF(start + QPoint(0, dy))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    const double pulled = table->contentOffset().y();
    EXPECT_LT(pulled, -20);
    EXPECT_GT(pulled, -150); // resists: less than the pointer moved
    EXPECT_NEAR(header->y(), -pulled, 1);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, start + QPoint(0, 150));
    table->finishAnimations();
    EXPECT_EQ(table->contentOffset().y(), 0); // sprang back
    EXPECT_EQ(controller.scrolledTo.last(), 0);
    EXPECT_TRUE(controller.writes.isEmpty()); // a drag is not a click

    for (int delta : {120, -120 * 100}) {
        QWheelEvent wheel(QPointF(100, 100), viewport->mapToGlobal(QPointF(100, 100)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        EXPECT_EQ(table->contentOffset().y(), delta > 0 ? 0 : table->maximumContentOffsetY());
    }
}

TEST(PSListController, DestroyedWhileItsTableShowsAndEdits) {
    auto* controller = new ListHost({groupRow("G"), cellRow("PSEditTextCell", "Name", "name")});
    UITableView* table = controller->show();
    ASSERT_TRUE(table);
    qobject_cast<PSEditTextTableCell*>(table->cellForRowAtIndexPath({0, 0}))
        ->textField()
        ->setFocus();
    QPointer<UITableView> guard(table);
    delete controller; // must not call back into the half-destroyed controller
    EXPECT_TRUE(!guard || guard->controller() == nullptr);
    delete guard.data();
}

} // namespace
