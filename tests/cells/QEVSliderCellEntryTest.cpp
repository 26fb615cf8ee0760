#include "QEVSliderCellTestSupport.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Opens the typed entry, types `text` and confirms it.
void typeAndConfirm(SliderRowScreen& row, const QString& text) {
    UIAlertController* alert = row.openEntry(row.pane);
    ASSERT_NE(alert, nullptr);
    ASSERT_EQ(alert->textFields().size(), 1);
    alert->textFields().first()->setText(text);
    alert->triggerAction(actionTitled(alert, "设置"));
}

TEST(QEVSliderCellEntry, OffersOneEmptyDecimalFieldAndTwoActions) {
    SliderRowScreen row({{"min", 0}, {"max", 50}}, 12.0);
    UITint::setTintColor(row.pane->view(), QColor(121, 145, 153));
    UIAlertController* alert = row.openEntry(row.pane);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), "输入数值");
    EXPECT_TRUE(alert->message().isEmpty());
    EXPECT_EQ(alert->preferredStyle(), UIAlertControllerStyleAlert);
    ASSERT_EQ(alert->textFields().size(), 1);
    UITextField* field = alert->textFields().first();
    EXPECT_EQ(field->text(), ""); // the current value is not offered
    EXPECT_TRUE(field->placeholderText().isEmpty());
    EXPECT_EQ(field->keyboardType(), UIKeyboardTypeDecimalPad);
    EXPECT_EQ(field->textColor(), QColor(121, 145, 153));
    ASSERT_EQ(alert->actions().size(), 2);
    EXPECT_EQ(alert->actions().at(0)->title(), "设置");
    EXPECT_EQ(alert->actions().at(0)->style(), UIAlertActionStyleDefault);
    EXPECT_EQ(alert->actions().at(1)->title(), "取消");
    EXPECT_EQ(alert->actions().at(1)->style(), UIAlertActionStyleCancel);
}

struct EntryCase {
    float minimum;
    float maximum;
    const char* text;
    float stored;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << "[" << c.minimum << ", " << c.maximum << "] \"" << c.text << "\"";
}

class QEVSliderCellEntryTable : public testing::TestWithParam<EntryCase> {};

TEST_P(QEVSliderCellEntryTable, StoresTheClampedNumber) {
    const EntryCase& c = GetParam();
    ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    SliderRowScreen row({{"min", c.minimum}, {"max", c.maximum}}, 20.0);
    typeAndConfirm(row, QString::fromUtf8(c.text));
    ASSERT_EQ(row.controller.writes.size(), 1);
    EXPECT_EQ(row.controller.writes.first().toDouble(), double(c.stored));
    EXPECT_EQ(row.slider()->value(), c.stored);
    EXPECT_EQ(row.readout(), QString::number(double(c.stored), 'f', 2));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QEVSliderCellEntryTable,
    testing::Values(EntryCase{0, 50, "", 0}, EntryCase{0, 50, "abc", 0},
                    EntryCase{0, 50, "12.5abc", 12.5f}, EntryCase{0, 50, "  7.25", 7.25f},
                    // A pad has no thousands separator: a comma is a decimal mark too.
                    EntryCase{0, 50, "1,5", 1.5f}, EntryCase{0, 50, "80", 50},
                    EntryCase{5, 50, "", 5}, EntryCase{5, 50, "-7", 5},
                    // Too large for a float: infinity, then the maximum; never stored as inf.
                    EntryCase{0, 50, "1e999", 50}, EntryCase{-10, 50, "-1e999", -10},
                    EntryCase{0, 50, "nan", 0}, EntryCase{0, 50, "0.125", 0.125f}));

TEST(QEVSliderCellEntry, DecimalCommaLocaleReadsItsOwnSeparator) {
    ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().decimalPoint(), ",");
    struct {
        const char* text;
        float stored;
    } const cases[] = {{"1,5", 1.5f}, {"12,25", 12.25f}, {"1,5,5", 1.5f},
                       {"3", 3},      {",5", 0.5f},      {"2.5", 2.5f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SliderRowScreen row({{"min", 0}, {"max", 50}}, 20.0);
        typeAndConfirm(row, QString::fromUtf8(c.text));
        ASSERT_EQ(row.controller.writes.size(), 1);
        EXPECT_EQ(row.controller.writes.first().toDouble(), double(c.stored));
        // The read-out stays in the platform's own notation whatever the locale.
        EXPECT_EQ(row.readout(), QString::number(double(c.stored), 'f', 2));
    }
}

TEST(QEVSliderCellEntry, NonFiniteNumbersAreBroughtIntoRange) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(QEVSliderCell::clampedTypedValue(inf, 0, 50), 50);
    EXPECT_EQ(QEVSliderCell::clampedTypedValue(-inf, -3, 50), -3);
    EXPECT_EQ(QEVSliderCell::clampedTypedValue(std::nanf(""), 5, 50), 5);
    EXPECT_EQ(QEVSliderCell::clampedTypedValue(std::nanf(""), -5, 50), 0);
    EXPECT_FALSE(std::isnan(QEVSliderCell::typedValue("nan")));
}

TEST(QEVSliderCellEntry, CancelChangesNothing) {
    SliderRowScreen row({{"min", 0}, {"max", 50}}, 12.0);
    const int ticks = row.feedback()->selectionChangedCount();
    UIAlertController* alert = row.openEntry(row.pane);
    ASSERT_NE(alert, nullptr);
    alert->textFields().first()->setText("40");
    alert->triggerAction(actionTitled(alert, "取消"));
    EXPECT_TRUE(row.controller.writes.isEmpty());
    EXPECT_EQ(row.slider()->value(), 12.0f);
    EXPECT_EQ(row.readout(), "12.00");
    EXPECT_EQ(row.feedback()->selectionChangedCount(), ticks);
    EXPECT_EQ(row.pane->presentedViewController(), nullptr);
}

TEST(QEVSliderCellEntry, ConfirmUsesTheRangeAsItIsThen) {
    SliderRowScreen row({{"min", 0}, {"max", 50}}, 12.0);
    UIAlertController* alert = row.openEntry(row.pane);
    ASSERT_NE(alert, nullptr);
    alert->textFields().first()->setText("40");
    row.slider()->setMaximumValue(30); // changed while the alert is open
    alert->triggerAction(actionTitled(alert, "设置"));
    EXPECT_EQ(row.lastStored(), 30.0f);
    EXPECT_EQ(row.slider()->value(), 30.0f);
}

TEST(QEVSliderCellEntry, ARowGoneBeforeConfirmStoresNothing) {
    SliderRowScreen row({{"min", 0}, {"max", 50}}, 12.0);
    UIAlertController* alert = row.openEntry(row.pane);
    ASSERT_NE(alert, nullptr);
    alert->textFields().first()->setText("40");
    delete row.cell;
    row.cell = nullptr;
    alert->triggerAction(actionTitled(alert, "设置"));
    EXPECT_TRUE(row.controller.writes.isEmpty());
}

TEST(QEVSliderCellEntry, WithoutAViewControllerTheKeyWindowsRootPresents) {
    SliderRowScreen row({{"min", 0}, {"max", 50}}, 12.0, /*inPane=*/false);
    ASSERT_EQ(UIViewController::viewControllerForView(row.cell), nullptr);
    UIAlertController* alert = row.openEntry(row.rootController);
    ASSERT_NE(alert, nullptr);
    alert->textFields().first()->setText("3");
    alert->triggerAction(actionTitled(alert, "设置"));
    EXPECT_EQ(row.lastStored(), 3.0f);
}

} // namespace
