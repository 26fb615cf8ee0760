// The colour picker used as a person uses it: a tap on a colour row opens it, a tap on a
// colour in it picks, keys and the close button close it.
#include "SettingsScreen.h"

#include "common/TestName.h"

#include "preferences/PSTableCell.h"
#include "preferences/UITableView.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

const QString kClose = QStringLiteral("✕");

QString hexOf(const QColor& c) {
    return c.name(QColor::HexRgb).toUpper();
}

bool near(const QColor& a, const QColor& b, int tolerance = 3) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// A colour at `alpha` as drawn over the white of a row.
QColor overWhite(const QColor& c, int alpha) {
    const auto mix = [alpha](int v) { return (v * alpha + 255 * (255 - alpha) + 127) / 255; };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

// The colour picker open over the pane, found as a person finds its parts.
struct OpenPicker {
    QWidget* layer = nullptr;
    QWidget* basicColors = nullptr; // the first well of colours
    QAbstractButton* close = nullptr;
};

testing::AssertionResult openPicker(SettingsScreen& screen, const QString& title,
                                    OpenPicker* picker) {
    PSTableCell* row = screen.row(title);
    if (!row)
        return testing::AssertionFailure() << "no row " << title.toStdString();
    screen.tap(row);
    picker->layer = screen.presented();
    if (!picker->layer)
        return testing::AssertionFailure() << "tapping the row opened nothing";
    if (!screen.settle()) // the sheet fades in
        return testing::AssertionFailure() << "the picker never came to rest";
    picker->basicColors = screen.widgetOfClass(picker->layer, "QWellArray");
    picker->close = screen.labelled<QAbstractButton>(picker->layer, kClose);
    if (!picker->basicColors || !picker->close)
        return testing::AssertionFailure() << "the picker is not drawn whole";
    QWidget* dialog = screen.widgetOfClass(picker->layer, "QColorDialog");
    if (!dialog || dialog->width() > dialog->parentWidget()->width())
        return testing::AssertionFailure() << "the picker is wider than the window";
    return testing::AssertionSuccess();
}

// The text under a row's title.
QLabel* detailLabel(QWidget* row, const QString& title) {
    for (QLabel* label : row->findChildren<QLabel*>())
        if (label->isVisible() && label->text() != title)
            return label;
    return nullptr;
}

struct PickCase {
    const char* name;
    const char* title;
    const char* key;
    int alpha; // the row's opacity, kept by a pick; 255 for a row without one
    const char* legibleSuffix;
};

void PrintTo(const PickCase& c, std::ostream* os) {
    *os << c.name;
}

class PersonPicker : public testing::TestWithParam<PickCase> {};

// A colour tapped in the picker is stored and announced once, and drawn in the row once the
// picker is closed; Return and Enter leave the picker as it is; Escape closes it and leaves the
// list where it was, and the row opens it again, whole, at the picked colour.
TEST_P(PersonPicker, PickReturnAndEscape) {
    const PickCase& c = GetParam();
    const QString title = QString::fromUtf8(c.title);
    SettingsScreen screen;
    OpenPicker picker;
    ASSERT_TRUE(openPicker(screen, title, &picker));
    const QPoint cell(28 * 1 + 14, 24 * 2 + 12); // second column, third row of the well
    const QColor picked = screen.pixel(picker.basicColors, cell);
    const QString hex = hexOf(picked);
    ASSERT_NE(screen.stored(c.key), hex) << "pick a colour the row does not hold yet";

    screen.tap(picker.basicColors, cell);
    const QString stored = c.alpha == 255 ? hex : hex + QString::asprintf("%02X", c.alpha);
    EXPECT_EQ(screen.stored(c.key), stored);
    EXPECT_EQ(screen.reloads(), 1);

    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        screen.key(key);
        EXPECT_NE(screen.presented(), nullptr) << "key " << key << " closed the picker";
        EXPECT_TRUE(near(screen.pixel(picker.basicColors, cell), picked))
            << "key " << key << " emptied the picker";
    }
    EXPECT_EQ(screen.reloads(), 1);

    const double offset = screen.table()->contentOffset().y();
    screen.key(Qt::Key_Escape);
    EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "Escape closed the picker"));
    EXPECT_EQ(screen.table()->contentOffset().y(), offset) << "the list moved";
    PSTableCell* row = screen.row(title);
    ASSERT_NE(row, nullptr);
    QWidget* swatch = screen.widgetOfClass(row, "QEVColorIndicatorView");
    ASSERT_NE(swatch, nullptr);
    EXPECT_TRUE(eventually(
        [&] {
            return near(screen.pixel(swatch, swatch->rect().center()), overWhite(picked, c.alpha));
        },
        "the row's swatch is drawn in the picked colour"));
    EXPECT_TRUE(screen.draws(detailLabel(row, title), hex + QString::fromLatin1(c.legibleSuffix)));

    // Opened again: whole, at the picked colour, and closed by Escape before anything is touched.
    ASSERT_TRUE(openPicker(screen, title, &picker)) << "the row no longer opens the picker";
    EXPECT_TRUE(near(screen.pixel(picker.basicColors, cell), picked));
    EXPECT_NE(screen.labelled<QLineEdit>(picker.layer, hex.toLower()), nullptr);
    screen.key(Qt::Key_Escape);
    EXPECT_TRUE(eventually([&] { return !screen.presented(); }, "Escape closed it at once"));
    EXPECT_EQ(screen.stored(c.key), stored) << "opening and closing stores nothing";
    EXPECT_EQ(screen.reloads(), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, PersonPicker,
                         testing::Values(PickCase{"opaque", "歌词颜色", "lyricsColor", 255, ""},
                                         PickCase{"translucent", "高亮颜色", "highlightColor", 0xCC,
                                                  ":0.80"}),
                         [](const auto& info) { return testName(info.param.name); });

// Every text the picker shows is in the pane's language: no English word in any label or button
// (a colour's hex value aside).
TEST(PersonPickerTexts, AreChinese) {
    SettingsScreen screen;
    OpenPicker picker;
    ASSERT_TRUE(openPicker(screen, QStringLiteral("高亮颜色"), &picker));
    QStringList texts;
    for (QLabel* label : picker.layer->findChildren<QLabel*>())
        if (label->isVisible())
            texts << label->text();
    for (QAbstractButton* button : picker.layer->findChildren<QAbstractButton*>())
        if (button->isVisible())
            texts << button->text();
    ASSERT_GE(texts.size(), 10) << "the picker's labels and buttons";
    const QRegularExpression english(QStringLiteral("[A-Za-z]{2,}"));
    for (QString text : texts) {
        // Mnemonics, and HTML, a name.
        text.remove(QRegularExpression(QStringLiteral("\\(&[A-Z]\\)|&|HTML")));
        EXPECT_FALSE(english.match(text).hasMatch()) << text.toStdString();
    }
}

// The style caches what it draws, keyed on the palette drawn with. Every widget of the picker
// keeps its palette from one opening to the next, so each opening draws from what the first
// cached; a picker given new palettes each time added a new set, about 50 KB, per opening.
TEST(PersonPickerMemory, ReopeningAddsNothingToTheStylesCache) {
    SettingsScreen screen;
    const auto palettes = [](const OpenPicker& picker) {
        QWidget* root = picker.close->parentWidget();
        QMap<QWidget*, qint64> keys{{root, root->palette().cacheKey()}};
        for (QWidget* w : root->findChildren<QWidget*>())
            keys.insert(w, w->palette().cacheKey());
        return keys;
    };
    QMap<QWidget*, qint64> first;
    for (int opening = 1; opening <= 4; ++opening) {
        SCOPED_TRACE(opening);
        OpenPicker picker;
        ASSERT_TRUE(openPicker(screen, QStringLiteral("阴影颜色"), &picker));
        if (opening == 1)
            first = palettes(picker);
        else
            EXPECT_EQ(palettes(picker), first);
        screen.tap(picker.close);
        ASSERT_TRUE(eventually([&] { return !screen.presented(); }, "the close button closed it"));
    }
}

} // namespace
