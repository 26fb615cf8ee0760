#include "../cells/QEVColorPickerCellTestSupport.h"
#include "PaneFixture.h"

#include <QLabel>
#include <memory>

// The colour row against the pane's real store: the preference file in a temporary device root
// and the reload notification on the private session bus.
namespace {

class ColourRowPaneTest : public PaneTest {
protected:
    std::unique_ptr<QEVColorPickerCell> cellFor(int listIndex) {
        return std::make_unique<QEVColorPickerCell>(0, "QEVColorPickerCell", row(listIndex));
    }
};

TEST_F(ColourRowPaneTest, TheFallbackIsShownButNotWrittenUntilAPick) {
    load({colorRow("tint", {{"fallbackHex", "#34C759"}})});
    auto cell = cellFor(0);
    cell->setSelected(true, false); // no window: nothing opens, nothing is written
    EXPECT_EQ(cell->detailTextLabel()->text(), "#34C759");
    EXPECT_FALSE(prefs().has_value() && prefs()->contains("tint"));
    pick(*cell, Qt::white);
    EXPECT_EQ(prefs().value_or(QVariantMap()).value("tint"), QVariant("#FFFFFF"));
}

} // namespace
