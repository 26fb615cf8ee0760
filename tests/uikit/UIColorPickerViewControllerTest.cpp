#include "UIKitTestSupport.h"

#include "uikit/UIColorPickerViewController.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ColourLog : public UIColorPickerViewControllerDelegate {
public:
    QList<QColor> colours;
    void colorPickerViewControllerDidSelectColor(UIColorPickerViewController* picker) override {
        colours.append(picker->selectedColor());
    }
};

QLineEdit* hexField(QColorDialog* dialog) {
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
        if (edit->text().startsWith('#'))
            return edit;
    }
    return nullptr;
}

QSpinBox* alphaBox(QColorDialog* dialog) {
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->text().contains("lpha"))
            return qobject_cast<QSpinBox*>(label->buddy());
    }
    return nullptr;
}

} // namespace

TEST(UIColorPickerViewController, IsAColourDialogWithoutButtons) {
    UIColorPickerViewController picker;
    picker.setSupportsAlpha(false);
    QColorDialog* dialog = picker.colorDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QColorDialog::NoButtons));
    EXPECT_FALSE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_TRUE(picker.view()->isAncestorOf(dialog));
    picker.setSupportsAlpha(true);
    EXPECT_TRUE(dialog->testOption(QColorDialog::ShowAlphaChannel));
}

TEST(UIColorPickerViewController, ReportsEachChangeOnceAndCodeChangesNever) {
    UIColorPickerViewController picker;
    ColourLog log;
    picker.setDelegate(&log);
    picker.setSupportsAlpha(true);
    picker.setSelectedColor(QColor(10, 20, 30, 40));
    EXPECT_TRUE(log.colours.isEmpty()) << "setting from code tells nobody";
    EXPECT_EQ(picker.colorDialog()->currentColor(), QColor(10, 20, 30, 40));

    QColorDialog* dialog = picker.colorDialog();
    dialog->setCurrentColor(QColor(255, 0, 0, 40)); // as the dialog's own pick arrives
    dialog->setCurrentColor(QColor(255, 0, 0, 40));
    dialog->setCurrentColor(QColor(0, 0, 255, 40));
    EXPECT_EQ(log.colours, QList<QColor>({QColor(255, 0, 0, 40), QColor(0, 0, 255, 40)}));

    // The opacity control, as the user moves it.
    QSpinBox* alpha = alphaBox(dialog);
    ASSERT_NE(alpha, nullptr);
    alpha->setValue(200);
    ASSERT_EQ(log.colours.size(), 3);
    EXPECT_EQ(log.colours.last(), QColor(0, 0, 255, 200));
    EXPECT_EQ(picker.selectedColor(), QColor(0, 0, 255, 200));
}

TEST(UIColorPickerViewController, TypingAHexColourReportsWithoutRepeats) {
    UIColorPickerViewController picker;
    ColourLog log;
    picker.setDelegate(&log);
    picker.setSupportsAlpha(false);
    picker.setSelectedColor(Qt::white);
    QLineEdit* hex = hexField(picker.colorDialog());
    ASSERT_NE(hex, nullptr);
    hex->selectAll();
    QTest::keyClicks(hex, "#00ff00");
    ASSERT_FALSE(log.colours.isEmpty());
    EXPECT_EQ(log.colours.last(), QColor(0, 255, 0));
    for (int i = 1; i < log.colours.size(); ++i)
        EXPECT_NE(log.colours[i], log.colours[i - 1]) << "reported twice in a row at " << i;
}

TEST(UIColorPickerViewController, WithoutAlphaEveryColourIsOpaque) {
    UIColorPickerViewController picker;
    ColourLog log;
    picker.setDelegate(&log);
    picker.setSupportsAlpha(false);
    picker.setSelectedColor(QColor(1, 2, 3, 4));
    EXPECT_EQ(picker.selectedColor(), QColor(1, 2, 3));
    picker.colorDialog()->setCurrentColor(QColor(9, 8, 7, 6));
    ASSERT_EQ(log.colours.size(), 1);
    EXPECT_EQ(log.colours[0].alpha(), 255);
}

struct TitleCase {
    const char* language; // LANGUAGE, ahead of the suite's C locale
    const char* rowTitle;
    const char* shown;
};

void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << "LANGUAGE=" << c.language << " title=" << c.rowTitle;
}

class UIColorPickerTitle : public testing::TestWithParam<TitleCase> {};

// The row's title when it has one, else the picker's own, in the language the bundles' strings
// are chosen in.
TEST_P(UIColorPickerTitle, FollowsTheRowElseTheLanguage) {
    const QByteArray saved = qgetenv("LANGUAGE");
    qputenv("LANGUAGE", GetParam().language);
    UIColorPickerViewController picker;
    picker.setTitle(QString::fromUtf8(GetParam().rowTitle));
    picker.view();
    qputenv("LANGUAGE", saved);
    ASSERT_NE(picker.titleLabel(), nullptr);
    EXPECT_EQ(picker.titleLabel()->text(), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Cases, UIColorPickerTitle,
                         testing::Values(TitleCase{"zh_CN", "", "颜色"},
                                         TitleCase{"en:zh_CN", "", "Colors"},
                                         TitleCase{"", "", "Colors"},
                                         TitleCase{"zh_CN", "Accent", "Accent"}));

// A window closed with the picker up takes the picker's view along; the picker, owned
// elsewhere, outlives it (and, under the sanitizers, must not misread the dying dialog), and
// shows a whole new one the next time.
TEST(UIColorPickerViewController, OutlivesAWindowClosedWithItUp) {
    UIColorPickerViewController picker;
    picker.setSelectedColor(QColor(10, 20, 30));
    for (int round = 0; round < 2; ++round) {
        UIWindow window;
        auto* root = new UIViewController(&window);
        window.setRootViewController(root);
        window.show();
        root->presentViewController(&picker, false);
        ASSERT_EQ(root->presentedViewController(), &picker) << round;
        EXPECT_TRUE(window.isAncestorOf(picker.colorDialog())) << round;
        EXPECT_EQ(picker.colorDialog()->currentColor(), QColor(10, 20, 30)) << round;
    }
}
