#include "QEVSliderCellTestSupport.h"

#include "common/TestName.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// Every way a row can arrive at zero from below stores and shows a plain 0, never -0.
enum class Way { StepUp, Typed, Loaded };

struct ZeroCase {
    const char* name;
    float maximum;
    float start; // what the file holds before
    Way way;
    const char* typed;
};

void PrintTo(const ZeroCase& c, std::ostream* os) {
    *os << c.name;
}

class QEVSliderCellNegativeZero : public testing::TestWithParam<ZeroCase> {};

TEST_P(QEVSliderCellNegativeZero, StoresAndShowsAPlainZero) {
    const ZeroCase& c = GetParam();
    SliderRowScreen row({{"min", -10.0}, {"max", c.maximum}}, double(c.start));
    if (c.way == Way::StepUp) {
        row.cell->incrementValue();
    } else if (c.way == Way::Typed) {
        UIAlertController* alert = row.openEntry(row.pane);
        ASSERT_NE(alert, nullptr);
        alert->textFields().first()->setText(QString::fromLatin1(c.typed));
        alert->triggerAction(actionTitled(alert, "设置"));
    }
    EXPECT_EQ(row.slider()->value(), 0.0f);
    EXPECT_FALSE(std::signbit(row.slider()->value()));
    EXPECT_EQ(row.readout(), "0.00");
    if (c.way != Way::Loaded) {
        ASSERT_EQ(row.controller.writes.size(), 1);
        EXPECT_FALSE(std::signbit(row.controller.writes.first().toDouble()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QEVSliderCellNegativeZero,
    testing::Values(ZeroCase{"tenths_up_from_minus_0_04", 5, -0.04f, Way::StepUp, ""},
                    ZeroCase{"wholes_up_from_minus_0_5", 100, -0.5f, Way::StepUp, ""},
                    ZeroCase{"typed_minus_zero", 5, 3, Way::Typed, "-0"},
                    ZeroCase{"typed_minus_zero_point_zero", 100, 3, Way::Typed, "-0.000"},
                    ZeroCase{"stored_minus_zero", 5, -0.0f, Way::Loaded, ""}),
    [](const auto& info) { return testName(info.param.name); });

} // namespace
