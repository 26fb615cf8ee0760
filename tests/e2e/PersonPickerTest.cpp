// The colour picker used as a person uses it: a tap on a colour row opens it, the close button
// closes it.
#include "SettingsScreen.h"

#include "preferences/PSTableCell.h"

#include <QAbstractButton>

namespace {

const QString kClose = QStringLiteral("✕");

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
    screen.wait(250); // the sheet fades in
    picker->basicColors = screen.widgetOfClass(picker->layer, "QWellArray");
    picker->close = screen.labelled<QAbstractButton>(picker->layer, kClose);
    if (!picker->basicColors || !picker->close)
        return testing::AssertionFailure() << "the picker is not drawn whole";
    QWidget* dialog = screen.widgetOfClass(picker->layer, "QColorDialog");
    if (!dialog || dialog->width() > dialog->parentWidget()->width())
        return testing::AssertionFailure() << "the picker is wider than the window";
    return testing::AssertionSuccess();
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
