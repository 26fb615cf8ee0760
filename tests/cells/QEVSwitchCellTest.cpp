#include "CellTestHost.h"

#include "cells/UIInfoButton.h"
#include "preferences/UISwitch.h"

namespace {

// The info alert's texts: the title as written, the message through the row's strings table
// (else the default one), "\n" as a line break either way.
TEST(QEVSwitchCellInfo, ShowsTheTitleAndTheTranslatedMessage) {
    const struct {
        const char* name;
        QVariantMap properties;
        QString title; // null: the alert has no title
        QString message;
    } cases[] = {
        {"message only", {{"infoMessage", "msg.plain"}}, {}, "From the default table"},
        {"title not translated",
         {{"infoTitle", "msg.plain"}, {"infoMessage", "msg.plain"}, {"localizationTable", "Info"}},
         "msg.plain",
         "Plays in a small window."},
        {"two lines from the table",
         {{"infoMessage", "msg.two"}, {"localizationTable", "Info"}},
         {},
         "Line one\nLine two"},
        {"missing key shown as written",
         {{"infoMessage", "No entry\\nfor this"}, {"localizationTable", "Info"}},
         {},
         "No entry\nfor this"},
        {"missing table shows the key",
         {{"infoMessage", "msg.plain"}, {"localizationTable", "Nowhere"}},
         {},
         "msg.plain"},
        {"numbers read as their text", {{"infoTitle", 42}, {"infoMessage", 1.5}}, "42", "1.5"},
        {"unreadable message is empty", {{"infoMessage", QVariantList{"a", "b"}}}, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SwitchRow row(c.properties);
        UIAlertController* alert = row.tapForAlert(row.cell->infoButton(), row.pane);
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->title().isNull(), c.title.isNull());
        EXPECT_EQ(alert->title(), c.title);
        EXPECT_EQ(alert->message(), c.message);
        alert->dismissViewControllerAnimated(false);
    }
}

TEST(QEVSwitchCellInfo, KeyWindowRootPresentsWhenNoControllerHoldsTheCell) {
    SwitchRow row({{"infoMessage", "msg.two"}, {"localizationTable", "Info"}}, /*inPane=*/false);
    ASSERT_EQ(UIViewController::viewControllerForView(row.cell), nullptr);
    UIAlertController* alert = row.tapForAlert(row.cell->infoButton(), row.rootController);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->presentingViewController(), row.rootController);
    EXPECT_EQ(alert->message(), "Line one\nLine two");
}

// A title long enough to reach the button is cut before it; the button stays centred between
// the title and the switch, whatever the row's size.
TEST(QEVSwitchCellInfo, TheButtonSitsBetweenTitleAndSwitch) {
    SwitchRow row({{"infoMessage", "msg.plain"},
                   {"label", "A title long enough to run all the way under the info button"}});
    UIInfoButton* button = row.cell->infoButton();
    ASSERT_NE(button, nullptr);
    for (const QSize size : {QSize(358, 44), QSize(300, 60)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        row.cell->resize(size);
        const QRect inCell(button->mapTo(row.cell, QPoint(0, 0)), button->size());
        EXPECT_LT(inCell.right(), row.cell->control()->x());
        EXPECT_EQ(button->y() + button->height() / 2, row.cell->contentView()->height() / 2);
        const QRect title = row.cell->textLabel()->geometry();
        EXPECT_LT(title.right(), button->x());
        EXPECT_GT(title.width(), 100);
    }
}

} // namespace
