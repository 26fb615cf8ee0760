#include "QEVSwitchCellTestSupport.h"

#include "cells/UIInfoButton.h"
#include "preferences/UISwitch.h"
#include "uikit/UITint.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

// A switch of a subclass, to show that subclasses count as switches too.
class TaggedSwitch : public UISwitch {
public:
    using UISwitch::UISwitch;
};

struct InfoCase {
    const char* name;
    QVariantMap properties;
    QString title; // a null QString: the alert has no title
    QString message;
};

const QVariantMap kInfoTable{{"localizationTable", "Info"}};

QVariantMap with(QVariantMap base, const QVariantMap& more) {
    base.insert(more);
    return base;
}

} // namespace

class QEVSwitchCellAlert : public testing::TestWithParam<InfoCase> {};

TEST_P(QEVSwitchCellAlert, ShowsTitleAndTranslatedMessage) {
    const InfoCase& c = GetParam();
    SwitchRowScreen screen(c.properties);
    ASSERT_NE(screen.cell->infoButton(), nullptr);
    UIAlertController* alert = screen.tapInfo(screen.pane);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->preferredStyle(), UIAlertControllerStyleAlert);
    EXPECT_EQ(alert->title().isNull(), c.title.isNull());
    EXPECT_EQ(alert->title(), c.title);
    EXPECT_FALSE(alert->message().isNull());
    EXPECT_EQ(alert->message(), c.message);
    alert->dismissViewControllerAnimated(false);
}

INSTANTIATE_TEST_SUITE_P(
    InfoTexts, QEVSwitchCellAlert,
    testing::Values(
        InfoCase{"OnlyMessage", with(kInfoTable, {{"infoMessage", "msg.plain"}}), QString(),
                 "Plays in a small window."},
        InfoCase{"TitleIsNotTranslated",
                 with(kInfoTable, {{"infoTitle", "title.key"}, {"infoMessage", "msg.plain"}}),
                 "title.key", "Plays in a small window."},
        InfoCase{"OnlyTitle", with(kInfoTable, {{"infoTitle", "迷你播放器"}}), "迷你播放器", ""},
        InfoCase{"TwoLinesFromTheTable", with(kInfoTable, {{"infoMessage", "msg.two"}}), QString(),
                 "Line one\nLine two"},
        InfoCase{"MissingKeyShownAsWritten",
                 with(kInfoTable, {{"infoMessage", "No entry\\nfor this\\nkey"}}), QString(),
                 "No entry\nfor this\nkey"},
        InfoCase{"NoTableMeansTheDefaultOne",
                 {{"infoMessage", "msg.plain"}},
                 QString(),
                 "From the default table"},
        InfoCase{"MissingTableShowsTheKey",
                 {{"infoMessage", "msg.plain"}, {"localizationTable", "Nowhere"}},
                 QString(),
                 "msg.plain"},
        InfoCase{"NumbersReadAsTheirText", {{"infoTitle", 42}, {"infoMessage", 1.5}}, "42", "1.5"},
        InfoCase{
            "UnreadableMessageIsEmpty", {{"infoMessage", QVariantList{"a", "b"}}}, QString(), ""}),
    [](const testing::TestParamInfo<InfoCase>& info) { return std::string(info.param.name); });

TEST(QEVSwitchCell, PlainRowHasNoButtonYetTurnsAmberOnEveryLayoutPass) {
    SwitchRowScreen screen({});
    QEVSwitchCell* cell = screen.cell;
    EXPECT_EQ(cell->infoButton(), nullptr);
    EXPECT_EQ(cell->bundle(), nullptr);
    EXPECT_TRUE(cell->contentView()->findChildren<QAbstractButton*>().isEmpty());

    cell->control()->setOnTintColor(UISwitch::defaultOnTintColor());
    cell->resize(300, 44);
    EXPECT_EQ(cell->control()->onTintColor(), QEVSwitchCell::onTintColor());
    EXPECT_EQ(QEVSwitchCell::onTintColor().rgb(), qRgb(234, 181, 80));
}

TEST(QEVSwitchCell, OnlyDirectSwitchesAreRecoloured) {
    SwitchRowScreen screen({{"infoMessage", "msg.plain"}});
    QEVSwitchCell* cell = screen.cell;
    auto* deeper = new UISwitch(cell->contentView());
    auto* direct = new TaggedSwitch(cell);
    cell->layoutSubviews();
    EXPECT_EQ(cell->control()->onTintColor(), QEVSwitchCell::onTintColor());
    EXPECT_EQ(direct->onTintColor(), QEVSwitchCell::onTintColor());
    EXPECT_EQ(deeper->onTintColor(), UISwitch::defaultOnTintColor());
}

TEST(QEVSwitchCell, InfoButtonSitsCentredJustBeforeTheSwitch) {
    SwitchRowScreen screen(
        {{"infoMessage", "msg.plain"},
         {"label", "A title long enough to run all the way under the info button"}});
    QEVSwitchCell* cell = screen.cell;
    UIInfoButton* button = cell->infoButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget(), cell->contentView());
    EXPECT_EQ(button->buttonType(), UIInfoButton::UIButtonTypeInfoDark);
    EXPECT_EQ(button->tintColor(), QColor(0, 122, 255));
    for (const QSize size : {QSize(358, 44), QSize(300, 60), QSize(358, 50)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        cell->resize(size);
        const QWidget* content = cell->contentView();
        EXPECT_EQ(button->size(), QSize(22, 22));
        EXPECT_EQ(button->x() + button->width(), content->width() - 4);
        EXPECT_EQ(button->y() + button->height() / 2, content->height() / 2);
        const QRect inCell(button->mapTo(cell, QPoint(0, 0)), button->size());
        EXPECT_LT(inCell.right(), cell->control()->x());
        const QRect title = cell->textLabel()->geometry();
        EXPECT_FALSE(title.intersects(button->geometry()));
        EXPECT_GT(title.width(), 100);
    }
}

TEST(QEVSwitchCell, CancelIsTheOnlyActionAndOnlyCloses) {
    SwitchRowScreen screen({{"infoTitle", "T"}, {"infoMessage", "msg.plain"}});
    const bool wasOn = screen.cell->control()->isOn();
    UIAlertController* alert = screen.tapInfo(screen.pane);
    ASSERT_NE(alert, nullptr);
    ASSERT_EQ(alert->actions().size(), 1);
    UIAlertAction* cancel = alert->actions().first();
    EXPECT_EQ(cancel->title(), "取消");
    EXPECT_EQ(cancel->style(), UIAlertActionStyleCancel);
    alert->triggerAction(cancel);
    EXPECT_EQ(screen.pane->presentedViewController(), nullptr);
    EXPECT_EQ(screen.controller.writes.size(), 0);
    EXPECT_EQ(screen.cell->control()->isOn(), wasOn);
}

TEST(QEVSwitchCell, KeyWindowRootPresentsWhenNoControllerHoldsTheCell) {
    SwitchRowScreen screen({{"infoMessage", "msg.two"}, {"localizationTable", "Info"}}, false);
    ASSERT_EQ(UIViewController::viewControllerForView(screen.cell), nullptr);
    UIAlertController* alert = screen.tapInfo(screen.rootController);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->presentingViewController(), screen.rootController);
    EXPECT_EQ(alert->message(), "Line one\nLine two");
    alert->triggerAction(alert->actions().value(0));
    EXPECT_EQ(screen.rootController->presentedViewController(), nullptr);
}

TEST(QEVSwitchCell, NearestControllerPresentsRatherThanTheWindowRoot) {
    SwitchRowScreen screen({{"infoMessage", "msg.plain"}});
    UIAlertController* alert = screen.tapInfo(screen.pane);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(screen.rootController->presentedViewController(), nullptr);
    alert->dismissViewControllerAnimated(false);
}

TEST(QEVSwitchCell, BundleComesFromTheTargetElseTheMainBundle) {
    SwitchRowScreen screen({{"infoTitle", "T"}});
    EXPECT_EQ(screen.cell->bundle(), screen.controller.bundle());

    CellTestController bare; // a target without a bundle
    PSSpecifier noBundle(QVariantMap{{"infoTitle", "T"}}, &bare);
    PSSpecifier noTarget(QVariantMap{{"infoMessage", "m"}}, nullptr);
    for (PSSpecifier* specifier : {&noBundle, &noTarget}) {
        QEVSwitchCell cell(0, "QEVSwitchCell", specifier);
        ASSERT_NE(cell.infoButton(), nullptr);
        EXPECT_EQ(cell.bundle(), NSBundle::mainBundle());
    }
}
