// The Settings window's host and its colour picker, used as a person uses them.
#include "SettingsScreen.h"

#include "preferences/PSTableCell.h"

#include <QAbstractButton>
#include <QScreen>

namespace {

// The window fits the screen's free area whatever the requested size.
TEST(PersonHost, TheWindowFitsTheScreen) {
    SettingsScreen screen({.arguments = {"--size", "390x2000"}});
    const QRect free = screen.window()->screen()->availableGeometry();
    const QSize frame = screen.window()->frameGeometry().size();
    EXPECT_LE(frame.height(), free.height());
    EXPECT_LE(frame.width(), free.width());
}

// The style caches what it draws, keyed on the palette drawn with: a picker given new palettes
// at each opening added a new set, about 50 KB, per opening. Every widget keeps its palette.
TEST(PersonPicker, ReopeningAddsNothingToTheStylesCache) {
    SettingsScreen screen;
    QMap<QWidget*, qint64> first;
    for (int opening = 1; opening <= 3; ++opening) {
        screen.tap(screen.row(QStringLiteral("阴影颜色")));
        ASSERT_TRUE(screen.settle()); // the sheet fades in
        QWidget* layer = screen.presented();
        auto* close =
            layer ? screen.labelled<QAbstractButton>(layer, QStringLiteral("✕")) : nullptr;
        ASSERT_NE(close, nullptr);
        QMap<QWidget*, qint64> keys;
        for (QWidget* w : close->parentWidget()->findChildren<QWidget*>())
            keys.insert(w, w->palette().cacheKey());
        if (opening == 1)
            first = keys;
        EXPECT_EQ(keys, first) << "opening " << opening;
        screen.tap(close);
        ASSERT_TRUE(eventually([&] { return !screen.presented(); }, "the close button closed it"));
    }
}

} // namespace
