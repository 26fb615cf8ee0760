#include "QEVSliderCellTestSupport.h"

#include "cells/QEVValueLabel.h"

#include <QLabel>
#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(QEVSliderCellLook, WritesHeight50AtEveryConstruction) {
    for (const QVariant& before : {QVariant(), QVariant(44), QVariant("120"), QVariant(50.5)}) {
        SliderRowScreen row({{"height", before}}, 1.0);
        EXPECT_EQ(row.specifier->propertyForKey("height"), QVariant(qint64(50)));
        row.specifier->setProperty(7, "height");
        QEVSliderCell again(0, "QEVSliderCell", row.specifier.get());
        EXPECT_EQ(row.specifier->propertyForKey("height"), QVariant(qint64(50)));
    }
}

struct TitleCase {
    QVariantMap properties;
    QString title;
};

TEST(QEVSliderCellLook, TitleIsTranslatedThroughTheBundle) {
    const TitleCase cases[] = {
        {{{"label", "Volume"}, {"localizationTable", "Root"}}, "Loudness"},
        {{{"label", "Speed"}, {"localizationTable", QVariant()}}, "Pace"}, // default table
        {{{"label", "Volume"}, {"localizationTable", QVariant()}}, "Volume"},
        {{{"label", "Untranslated"}, {"localizationTable", "Root"}}, "Untranslated"},
        {{{"label", QVariant()}, {"localizationTable", "Root"}}, ""},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        SliderRowScreen row(c.properties, 1.0);
        EXPECT_EQ(row.cell->sliderLabel()->text(), c.title);
    }
}

TEST(QEVSliderCellLook, ATargetlessRowShowsItsLabel) {
    PSSpecifier specifier(QVariantMap{{"label", "Gain"}, {"max", 10}}, nullptr);
    QEVSliderCell cell(0, "QEVSliderCell", &specifier);
    EXPECT_EQ(cell.sliderLabel()->text(), "Gain");
    EXPECT_EQ(cell.valueLabel()->text(), "0.00");
}

TEST(QEVSliderCellLook, FirstReadOutIsTheStoredValue) {
    ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    const struct {
        QVariant stored;
        QString shown;
    } cases[] = {{2.5, "2.50"},
                 {QVariant(), "0.00"},
                 {"3.25", "3.25"},
                 {"x", "0.00"},
                 {-1.555, "-1.55"},
                 {true, "1.00"},
                 {QVariantList{1}, "0.00"},
                 {QVariant(qint64(7)), "7.00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        SliderRowScreen row({{"min", -5}, {"max", 10}}, c.stored);
        EXPECT_EQ(row.readout(), c.shown);
    }
}

TEST(QEVSliderCellLook, ReadOutKeepsOneWidthWithTabularDigits) {
    SliderRowScreen row({{"min", -3000}, {"max", 3000}}, 0.0);
    QEVValueLabel* label = row.cell->valueLabel();
    const int fixed = int(std::ceil(label->tabularWidth("-2000.00")));
    EXPECT_EQ(label->width(), fixed);
    EXPECT_EQ(label->tabularWidth("0000.00"), label->tabularWidth("1111.11"));
    EXPECT_EQ(label->font().pixelSize(), 10);
    EXPECT_EQ(label->font().weight(), QFont::Bold);
    EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    for (float value : {0.0f, -2000.0f, 1111.11f, -2999.99f}) {
        row.slider()->setValue(value);
        row.cell->sliderValueChanged(row.slider());
        row.cell->grab();
        EXPECT_EQ(label->width(), fixed);
        EXPECT_EQ(label->shownText(), label->text());
    }
    // A longer text is cut, not widened.
    label->setText("-123456.78");
    row.cell->grab();
    EXPECT_EQ(label->width(), fixed);
    EXPECT_TRUE(label->shownText().endsWith(QChar(0x2026)));
    EXPECT_LE(label->tabularWidth(label->shownText()), fixed);
}

TEST(QEVSliderCellLook, ReadOutFollowsTheTintButtonsAndTitleDoNot) {
    SliderRowScreen row({}, 1.0);
    EXPECT_EQ(row.cell->valueLabel()->textColor(), UITint::systemBlue()); // from the refresh
    const QColor titleColor = row.cell->sliderLabel()->palette().color(QPalette::WindowText);
    const QImage minusBefore = row.cell->minusButton()->grab().toImage();
    UITint::setTintColor(row.pane->view(), QColor(121, 145, 153));
    EXPECT_EQ(row.cell->valueLabel()->textColor(), QColor(121, 145, 153));
    UITint::setTintColor(row.cell, QColor(200, 10, 10));
    EXPECT_EQ(row.cell->valueLabel()->textColor(), QColor(200, 10, 10));
    EXPECT_EQ(row.cell->sliderLabel()->palette().color(QPalette::WindowText), titleColor);
    EXPECT_EQ(row.cell->minusButton()->grab().toImage(), minusBefore);
}

TEST(QEVSliderCellLook, RefreshRecoloursButLeavesTheReadOutText) {
    SliderRowScreen row({{"max", 10}}, 4.0);
    row.slider()->setValue(6);
    row.cell->sliderValueChanged(row.slider());
    row.controller.stored.insert("v", 9.0);
    UITint::setTintColor(row.pane->view(), QColor(72, 97, 112));
    row.cell->valueLabel()->setTextColor(Qt::black);
    row.cell->refreshCellContentsWithSpecifier(row.specifier.get());
    EXPECT_EQ(row.readout(), "6.00");
    EXPECT_EQ(row.cell->valueLabel()->textColor(), QColor(72, 97, 112));
}

TEST(QEVSliderCellLook, FiveViewsInOneCentredRow) {
    SliderRowScreen row({{"label", "Volume"}}, 1.0);
    row.cell->grab(); // lays the row out
    QWidget* const views[] = {row.cell->sliderLabel(), row.cell->minusButton(), row.slider(),
                              row.cell->plusButton(), row.cell->valueLabel()};
    QRect frames[5];
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(views[i]->isVisible());
        frames[i] = QRect(views[i]->mapTo(row.cell, QPoint(0, 0)), views[i]->size());
    }
    EXPECT_EQ(frames[0].left(), 20);
    EXPECT_EQ(frames[4].right() + 1, row.cell->width() - 20);
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(frames[i].left(), frames[i - 1].right() + 1 + 5) << i;
        EXPECT_NEAR(frames[i].center().y(), 25, 1) << i;
    }
    EXPECT_NEAR(frames[0].center().y(), 25, 1);
    EXPECT_EQ(frames[1].size(), QSize(26, 15));
    EXPECT_EQ(frames[3].size(), QSize(26, 15));
    EXPECT_EQ(frames[0].width(), row.cell->sliderLabel()->sizeHint().width()); // natural width
    // The slider takes the rest.
    EXPECT_EQ(frames[2].width(),
              row.cell->width() - 40 - 4 * 5 - frames[0].width() - 2 * 26 - frames[4].width());
    EXPECT_EQ(row.cell->minusButton()->text(), "-");
    EXPECT_EQ(row.cell->plusButton()->text(), "+");
    EXPECT_EQ(row.cell->plusButton()->font().pixelSize(), 13);
    EXPECT_EQ(row.cell->plusButton()->font().weight(), QFont::Medium);
    // The button face is the light grey with the sign in black.
    const QImage face = row.cell->plusButton()->grab().toImage();
    EXPECT_EQ(face.pixelColor(face.width() / 2, 2), QColor(248, 248, 248));
    bool dark = false;
    for (int x = 0; x < face.width(); ++x)
        dark = dark || face.pixelColor(x, face.height() / 2).lightness() < 100;
    EXPECT_TRUE(dark);
}

} // namespace
