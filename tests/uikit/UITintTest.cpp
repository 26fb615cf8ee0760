#include "uikit/UITint.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

class TintProbe : public QWidget, public UITintObserver {
public:
    using QWidget::QWidget;
    QList<QColor> seen; // the tint, each time it was told of a change
    void tintColorDidChange() override { seen.append(UITint::tintColor(this)); }
};

} // namespace

// A widget's tint is the nearest one set above it; only the observers whose tint changed are
// told, and they see the new colour. Steps: r, m, o set the tint of the root, of the middle
// widget above the leaf, or of the observer with its own tint; M moves the middle widget under
// a new top widget of the given tint (none: no tint).
TEST(UITint, OnlyWidgetsWhoseEffectiveTintChangedAreTold) {
    const QColor pane(121, 145, 153), red(255, 0, 0), blue = UITint::systemBlue();
    const struct {
        const char* name;
        QList<std::pair<char, QColor>> steps;
        QList<QColor> leaf, own;
    } cases[] = {
        {"the root's reaches the leaf, not one with its own", {{'r', pane}}, {pane}, {}},
        {"the nearest wins; clearing inherits again",
         {{'r', pane}, {'m', red}, {'m', {}}},
         {pane, red, pane},
         {}},
        {"its inherited colour, or clearing none: no change", {{'m', blue}, {'m', {}}}, {}, {}},
        {"a widget's own tint tells it", {{'o', pane}}, {}, {pane}},
        {"moved under the same colour: nobody; under none: those inheriting",
         {{'r', red}, {'M', red}, {'M', {}}},
         {red, blue},
         {}},
    };
    for (const auto& c : cases) {
        QWidget top, other;
        auto* root = new QWidget(&top);
        auto* middle = new QWidget(root);
        auto* leaf = new TintProbe(middle);
        auto* own = new TintProbe(middle);
        UITint::setTintColor(own, red);
        own->seen.clear();
        for (const auto& [step, colour] : c.steps) {
            if (step == 'M') {
                auto* under = new QWidget(&other);
                UITint::setTintColor(under, colour);
                middle->setParent(under);
            } else {
                UITint::setTintColor(step == 'r' ? root : step == 'm' ? middle : own, colour);
            }
        }
        EXPECT_EQ(leaf->seen, c.leaf) << c.name;
        EXPECT_EQ(own->seen, c.own) << c.name;
    }
}
