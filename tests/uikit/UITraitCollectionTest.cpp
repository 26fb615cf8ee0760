#include "uikit/UITraitCollection.h"
#include "uikit/UIColor.h"
#include "uikit/UITint.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr auto kLight = UIUserInterfaceStyle::Light;
constexpr auto kDark = UIUserInterfaceStyle::Dark;

class Probe : public QWidget, public UITraitEnvironment, public UITintObserver {
public:
    using QWidget::QWidget;
    QList<UIUserInterfaceStyle> previous;
    int tintChanges = 0;
    void traitCollectionDidChange(const UITraitCollection& before) override {
        previous.append(before.userInterfaceStyle);
    }
    void tintColorDidChange() override { ++tintChanges; }
};

class UITraitCollectionTest : public testing::Test {
protected:
    void SetUp() override { UITraitCollection::setUserInterfaceStyleOfApplication(kLight); }
    void TearDown() override { UITraitCollection::setUserInterfaceStyleOfApplication(kLight); }
};

// A change of appearance resolves every dynamic palette colour again, tells every environment
// once, and tells a tint observer only when its tint resolves differently; asking for the
// appearance already shown does nothing.
TEST_F(UITraitCollectionTest, AChangeReachesPalettesEnvironmentsAndDynamicTints) {
    auto window = std::make_unique<QWidget>();
    auto* label = new QLabel(window.get());
    UIColor::setPaletteColor(label, QPalette::WindowText, UIColor::labelColor());
    auto* systemTinted = new Probe(window.get()); // inherits the dynamic system blue
    auto* paneTinted = new Probe(window.get());
    UITint::setTintColor(paneTinted, QColor(121, 145, 153));
    paneTinted->tintChanges = 0;

    const struct {
        UIUserInterfaceStyle to;
        QColor text;
        QList<UIUserInterfaceStyle> previous;
        int systemTintChanges;
    } steps[] = {
        {kDark, Qt::white, {kLight}, 1},
        {kDark, Qt::white, {kLight}, 1}, // already dark
        {UIUserInterfaceStyle::Unspecified, Qt::black, {kLight, kDark}, 2},
    };
    for (const auto& step : steps) {
        UITraitCollection::setUserInterfaceStyleOfApplication(step.to);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), step.text);
        EXPECT_EQ(systemTinted->previous, step.previous);
        EXPECT_EQ(systemTinted->tintChanges, step.systemTintChanges);
        EXPECT_EQ(paneTinted->tintChanges, 0);
    }
}

// Presented content is raised: the backgrounds that have a raised dark value take it there and
// only there.
TEST_F(UITraitCollectionTest, RaisedContentTakesTheRaisedDarkBackground) {
    QWidget window;
    auto* layer = new QWidget(&window);
    auto* inside = new QWidget(layer);
    UITraitCollection::setElevated(layer);
    const UIColor background = UIColor::systemBackgroundColor();
    EXPECT_EQ(background.resolvedColorForView(inside), QColor(Qt::white));
    UITraitCollection::setUserInterfaceStyleOfApplication(kDark);
    EXPECT_EQ(background.resolvedColorForView(&window), QColor(Qt::black));
    EXPECT_EQ(background.resolvedColorForView(inside), QColor(28, 28, 30));
    EXPECT_EQ(UIColor(QColor(72, 97, 112)).resolvedColorForView(inside), QColor(72, 97, 112));
}

} // namespace
