#include "uikit/UITint.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TintProbe : public QWidget, public UITintObserver {
public:
    using QWidget::QWidget;
    int changes = 0;
    QColor seen;
    void tintColorDidChange() override {
        ++changes;
        seen = UITint::tintColor(this);
    }
};

const QColor kRed(255, 0, 0);
const QColor kPane(121, 145, 153);

struct Tree {
    std::unique_ptr<QWidget> root = std::make_unique<QWidget>();
    QWidget* middle = new QWidget(root.get());
    TintProbe* leaf = new TintProbe(middle);
    TintProbe* shielded = new TintProbe(root.get()); // has its own tint
    Tree() {
        UITint::setTintColor(shielded, kRed);
        shielded->changes = 0;
    }
};

} // namespace

TEST(UITint, EffectiveColourComesFromTheNearestWidgetWithATint) {
    Tree tree;
    EXPECT_EQ(UITint::tintColor(tree.leaf), QColor(0, 122, 255)) << "system blue by default";
    UITint::setTintColor(tree.root.get(), kPane);
    EXPECT_EQ(UITint::tintColor(tree.leaf), kPane);
    UITint::setTintColor(tree.middle, kRed);
    EXPECT_EQ(UITint::tintColor(tree.leaf), kRed);
    UITint::setTintColor(tree.middle, QColor()); // inherit again
    EXPECT_EQ(UITint::tintColor(tree.leaf), kPane);
    EXPECT_EQ(UITint::tintColor(nullptr), UITint::systemBlue());
}

TEST(UITint, OnlyWidgetsWhoseEffectiveTintChangedAreTold) {
    struct Case {
        const char* what;
        std::function<void(Tree&)> change;
        int leafChanges;
        int shieldedChanges;
    };
    const std::vector<Case> cases = {
        {"root tint reaches the leaf, not the widget with its own",
         [](Tree& t) { UITint::setTintColor(t.root.get(), kPane); }, 1, 0},
        {"setting the colour it already inherits changes nothing",
         [](Tree& t) { UITint::setTintColor(t.middle, UITint::systemBlue()); }, 0, 0},
        {"clearing a tint that was never set changes nothing",
         [](Tree& t) { UITint::setTintColor(t.middle, QColor()); }, 0, 0},
        {"the widget's own tint changes tell it",
         [](Tree& t) { UITint::setTintColor(t.shielded, kPane); }, 0, 1},
        {"a tint set on the observer itself tells it",
         [](Tree& t) { UITint::setTintColor(t.leaf, kRed); }, 1, 0},
    };
    for (const Case& c : cases) {
        Tree tree;
        c.change(tree);
        EXPECT_EQ(tree.leaf->changes, c.leafChanges) << c.what;
        EXPECT_EQ(tree.shielded->changes, c.shieldedChanges) << c.what;
    }
}

TEST(UITint, ObserverSeesTheNewColourWhenTold) {
    Tree tree;
    UITint::setTintColor(tree.root.get(), kPane);
    EXPECT_EQ(tree.leaf->seen, kPane);
    UITint::setTintColor(tree.root.get(), QColor());
    EXPECT_EQ(tree.leaf->changes, 2);
    EXPECT_EQ(tree.leaf->seen, UITint::systemBlue());
}

TEST(UITint, ReparentingTellsObserversWhoseTintChanged) {
    QWidget red, alsoRed, blue;
    UITint::setTintColor(&red, kRed);
    UITint::setTintColor(&alsoRed, kRed);
    auto* holder = new QWidget(&red);
    auto* probe = new TintProbe(holder);
    auto* ownProbe = new TintProbe(holder);
    UITint::setTintColor(ownProbe, kPane);
    ownProbe->changes = 0;

    holder->setParent(&alsoRed); // same colour: nobody hears
    EXPECT_EQ(probe->changes, 0);
    holder->setParent(&blue); // red -> blue
    EXPECT_EQ(probe->changes, 1);
    EXPECT_EQ(probe->seen, UITint::systemBlue());
    EXPECT_EQ(ownProbe->changes, 0) << "its own tint shields it from the move";
    holder->setParent(nullptr); // blue -> default blue: no change
    EXPECT_EQ(probe->changes, 1);
    delete holder;
}
