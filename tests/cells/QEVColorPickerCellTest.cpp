#include "QEVColorCodecTestSupport.h"
#include "QEVColorPickerCellTestSupport.h"

#include "cells/QEVCrossDissolve.h"

#include "uikit/UITint.h"

#include <QGraphicsOpacityEffect>
#include <QTest>
#include <QVariantAnimation>

namespace {

// Alpha support depends only on whether the row carries "supportsAlpha".
struct AlphaCase {
    const char* name;
    QVariant value; // invalid: the key is absent
    bool expected;
};

class ColorCellAlphaTest : public ColorCellTest, public testing::WithParamInterface<AlphaCase> {};

TEST_P(ColorCellAlphaTest, PresenceOfTheKeyTurnsAlphaOn) {
    QVariantMap properties = colorRow("c");
    if (GetParam().value.isValid())
        properties.insert("supportsAlpha", GetParam().value);
    auto cell = makeCell(properties);
    EXPECT_EQ(cell->supportsAlpha(), GetParam().expected);
    EXPECT_EQ(cell->colorPicker()->supportsAlpha(), GetParam().expected);
    EXPECT_EQ(cell->colorPicker()->colorDialog()->testOption(QColorDialog::ShowAlphaChannel),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ColorCellAlphaTest,
    testing::Values(AlphaCase{"Absent", QVariant(), false}, AlphaCase{"True", true, true},
                    AlphaCase{"False", false, true}, AlphaCase{"Zero", qint64(0), true},
                    AlphaCase{"EmptyText", QString(""), true}),
    [](const testing::TestParamInfo<AlphaCase>& info) { return std::string(info.param.name); });

// What a new row shows, from its stored value, its "default" and its "fallbackHex".
struct ShownCase {
    const char* name;
    QVariantMap extra;
    QVariant stored; // invalid: nothing stored
    QString detail;
    QEVColor color;
};

class ColorCellShownTest : public ColorCellTest, public testing::WithParamInterface<ShownCase> {};

TEST_P(ColorCellShownTest, ShowsTheValueFromTheGetterElseTheFallback) {
    const ShownCase& c = GetParam();
    if (c.stored.isValid())
        controller.stored.insert("c", c.stored);
    auto cell = makeCell(colorRow("c", c.extra));
    EXPECT_EQ(str(cell->detailTextLabel()->text()), str(c.detail));
    EXPECT_EQ(cell->currentColor(), c.color);
    EXPECT_EQ(cell->indicatorShape()->fillColor(), c.color.toQColor());
    EXPECT_TRUE(controller.writes.isEmpty()) << "nothing is written before a pick";
}

const QVariantMap kAlpha{{"supportsAlpha", true}};

INSTANTIATE_TEST_SUITE_P(
    Rows, ColorCellShownTest,
    testing::Values(
        ShownCase{"StoredTranslucentWithAlpha", kAlpha, "#FF000080", "#FF0000:0.50",
                  colorOfBytes(255, 0, 0, 128)},
        // Without alpha support the swatch is opaque whatever the stored text carries.
        ShownCase{"StoredTranslucentWithoutAlpha",
                  {},
                  "#FF000080",
                  "#FF0000:0.50",
                  colorOfBytes(255, 0, 0, 255)},
        ShownCase{"StoredPercentage", kAlpha, "#00FF00:20", "#00FF00:20",
                  colorOfBytes(0, 255, 0, 51)},
        ShownCase{"DefaultWhenNothingStored",
                  {{"default", "#336699"}},
                  QVariant(),
                  "#336699",
                  colorOfBytes(0x33, 0x66, 0x99, 255)},
        ShownCase{"FallbackWhenGetterGivesNothing",
                  {{"fallbackHex", "#00FF0080"}},
                  QVariant(),
                  "#00FF00:0.50",
                  colorOfBytes(0, 255, 0, 255)},
        ShownCase{"StoredWinsOverFallback",
                  {{"fallbackHex", "#00FF00"}},
                  "#0000FF",
                  "#0000FF",
                  colorOfBytes(0, 0, 255, 255)},
        ShownCase{"DefaultWinsOverFallback",
                  {{"default", "#0000FF"}, {"fallbackHex", "#00FF00"}},
                  QVariant(),
                  "#0000FF",
                  colorOfBytes(0, 0, 255, 255)},
        // No value at all reads as the empty text: black.
        ShownCase{"NothingAtAll", {}, QVariant(), "#000000:0.00", colorOfBytes(0, 0, 0, 255)},
        ShownCase{"NothingAtAllWithAlpha", kAlpha, QVariant(), "#000000:0.00",
                  colorOfBytes(0, 0, 0, 0)},
        // Values that are not colour strings still give some colour, never a crash.
        ShownCase{"Unparsable", {}, "ZZ", "#:0.00", colorOfBytes(0, 0, 0, 255)},
        ShownCase{"NumberStored", {}, qint64(255), "#2:0.33", colorOfBytes(0, 0, 2, 255)},
        ShownCase{
            "ListStored", {}, QVariantList{1, 2}, "#000000:0.00", colorOfBytes(0, 0, 0, 255)}),
    [](const testing::TestParamInfo<ShownCase>& info) { return std::string(info.param.name); });

TEST_F(ColorCellTest, AlwaysUsesTheSubtitleStyle) {
    for (int style : {0, 1, 2, 3, 42}) {
        auto cell = makeCell(colorRow("c"), style);
        EXPECT_EQ(cell->style(), UITableViewCellStyleSubtitle) << "asked for " << style;
    }
}

TEST_F(ColorCellTest, IndicatorIsTheAccessoryAt29Points) {
    auto cell = makeCell(colorRow("c"));
    ASSERT_EQ(cell->accessoryView(), cell->indicatorView());
    EXPECT_EQ(cell->indicatorView()->size(), QSize(29, 29));
    EXPECT_EQ(cell->indicatorShape(), cell->indicatorView()->swatch());
}

// Each reported colour is stored once, as the codec writes it for the row's alpha support, and
// shown at once in the swatch and the text.
struct PickCase {
    const char* name;
    bool alpha;
    QColor picked;
    QString stored;
    QString detail;
    int swatchAlpha;
};

class ColorCellPickTest : public ColorCellTest, public testing::WithParamInterface<PickCase> {};

TEST_P(ColorCellPickTest, StoresAndShowsThePickedColour) {
    const PickCase& c = GetParam();
    auto cell = makeCell(colorRow("c", c.alpha ? kAlpha : QVariantMap{{"default", "#FFFFFF"}}));
    pick(*cell, c.picked);
    ASSERT_EQ(controller.writes.size(), 1);
    EXPECT_EQ(controller.writes.first(), QVariant(c.stored));
    EXPECT_EQ(str(cell->detailTextLabel()->text()), str(c.detail));
    EXPECT_EQ(cell->indicatorShape()->fillColor().alpha(), c.swatchAlpha);
    EXPECT_EQ(cell->indicatorShape()->fillColor().rgb(), c.picked.rgb());
}

INSTANTIATE_TEST_SUITE_P(
    Picks, ColorCellPickTest,
    testing::Values(
        PickCase{"HalfRedWithAlpha", true, QColor(255, 0, 0, 127), "#FF00007F", "#FF0000:0.50",
                 127},
        PickCase{"HalfRedWithoutAlpha", false, QColor(255, 0, 0, 127), "#FF0000", "#FF0000", 255},
        PickCase{"OpaqueWithAlpha", true, QColor(0x33, 0x66, 0x99), "#336699FF", "#336699:1.00",
                 255},
        PickCase{"ClearWithAlpha", true, QColor(0, 0, 255, 0), "#0000FF00", "#0000FF:0.00", 0}),
    [](const testing::TestParamInfo<PickCase>& info) { return std::string(info.param.name); });

TEST_F(ColorCellTest, EachReportWritesOnce) {
    auto cell = makeCell(colorRow("c", kAlpha));
    const QColor colors[] = {Qt::red, Qt::green, QColor(0, 0, 255, 128), Qt::red};
    for (const QColor& color : colors)
        pick(*cell, color);
    EXPECT_EQ(controller.writes,
              (QList<QVariant>{"#FF0000FF", "#00FF00FF", "#0000FF80", "#FF0000FF"}));
    EXPECT_EQ(controller.stored.value("c"), QVariant("#FF0000FF"));
}

TEST_F(ColorCellTest, PickerTitleIsTheTranslatedLabel) {
    TempDeviceRoot root;
    controller.setBundle(
        makeStringsBundle(root, {{"Colours", "\"Tint\" = \"着色\";\n\"Other\" = \"Andere\";\n"}}));
    struct {
        QVariantMap properties;
        QString title;
    } const cases[] = {
        {{{"label", "Tint"}, {"localizationTable", "Colours"}}, "着色"},
        {{{"label", "Tint"}}, "Tint"}, // the default table has no entry: the label itself
        {{{"label", "Untranslated"}, {"localizationTable", "Colours"}}, "Untranslated"},
        {{{"localizationTable", "Colours"}}, ""},
    };
    for (const auto& c : cases) {
        QVariantMap properties = c.properties;
        properties.insert("key", "c");
        auto cell = makeCell(properties);
        EXPECT_EQ(str(cell->colorPicker()->title()), str(c.title));
    }
}

TEST_F(ColorCellTest, TitleFollowsTheTintInBothStates) {
    QWidget parent;
    auto cell = makeCell(colorRow("c"));
    cell->setParent(&parent);
    cell->refreshCellContentsWithSpecifier(cell->specifier());
    const QColor tints[] = {QColor(121, 145, 153), QColor(234, 181, 80)};
    for (const QColor& tint : tints) {
        UITint::setTintColor(&parent, tint);
        const QPalette palette = cell->textLabel()->palette();
        EXPECT_EQ(palette.color(QPalette::WindowText), tint);
        EXPECT_EQ(palette.color(QPalette::HighlightedText), tint);
    }
    cell->setParent(nullptr);
}

TEST_F(ColorCellTest, APickTransitionsSwatchAndTextOverAThirdOfASecond) {
    QWidget window;
    window.resize(400, 60);
    auto cell = makeCell(colorRow("c", {{"default", "#000000"}}));
    cell->setParent(&window);
    cell->setGeometry(0, 0, 390, 44);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    pick(*cell, Qt::white);
    // The new state is there at once for anyone reading it...
    EXPECT_EQ(str(cell->detailTextLabel()->text()), "#FFFFFF");
    EXPECT_EQ(cell->indicatorShape()->fillColor(), QColor(Qt::white));
    // ...while the display moves from the old colour over 0.3 seconds.
    QVariantAnimation* swatchFade = cell->indicatorView()->transitionAnimation();
    ASSERT_NE(swatchFade, nullptr);
    EXPECT_EQ(swatchFade->duration(), 300);
    EXPECT_EQ(swatchFade->state(), QAbstractAnimation::Running);
    swatchFade->setCurrentTime(150);
    EXPECT_TRUE(colorNear(cell->indicatorView()->displayedSwatchColor(), QColor(128, 128, 128), 2));
    EXPECT_TRUE(QEVCrossDissolve::isRunning(cell->detailTextLabel()));
    EXPECT_NE(qobject_cast<QGraphicsOpacityEffect*>(cell->detailTextLabel()->graphicsEffect()),
              nullptr);

    swatchFade->setCurrentTime(300);
    EXPECT_EQ(cell->indicatorView()->displayedSwatchColor(), QColor(Qt::white));
    EXPECT_TRUE(QEVCrossDissolve::finish(cell->detailTextLabel()));
    EXPECT_EQ(cell->detailTextLabel()->graphicsEffect(), nullptr);
    cell->setParent(nullptr);
}

} // namespace
