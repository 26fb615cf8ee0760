#include "SettingsOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsOptions, ParsesEveryOptionAndRefusesBadValues) {
    const struct {
        QStringList arguments;
        QSize size;
        double scale;
        std::optional<double> scroll;
        std::optional<UIUserInterfaceStyle> appearance = std::nullopt;
    } cases[] = {
        {{}, {390, 844}, 1.0, std::nullopt},
        {{"--size", "430x932", "--scale", "2", "--scroll", "-60"}, {430, 932}, 2.0, -60.0},
        {{"--size=800X600", "--scale=1.5"}, {800, 600}, 1.5, std::nullopt},
        {{"--appearance", "dark"}, {390, 844}, 1.0, std::nullopt, UIUserInterfaceStyle::Dark},
        {{"--appearance=light"}, {390, 844}, 1.0, std::nullopt, UIUserInterfaceStyle::Light},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QString error;
        const auto options = SettingsOptions::parse(QStringList{"Settings"} + c.arguments, &error);
        ASSERT_TRUE(options) << error.toStdString();
        EXPECT_EQ(options->size, c.size);
        EXPECT_EQ(options->scale, c.scale);
        EXPECT_EQ(options->scroll, c.scroll);
        EXPECT_EQ(options->appearance, c.appearance);
        EXPECT_EQ(options->root, SettingsOptions::defaultRoot());
    }
    for (const QStringList& bad : {QStringList{"--appearance", "Dark"},
                                   {"--appearance", "auto"},
                                   {"--size", "390"},
                                   {"--size", "99999x844"},
                                   {"--size", "0x0"},
                                   {"--scale", "0"},
                                   {"--scale", "nan"},
                                   {"--scroll", "inf"},
                                   {"--scroll", "down"},
                                   {"--unknown"}}) {
        QString error;
        EXPECT_FALSE(SettingsOptions::parse(QStringList{"Settings"} + bad, &error))
            << bad.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty()) << "a refusal says why";
    }
}

TEST(SettingsOptions, ReadsTheScaleBeforeTheApplicationExists) {
    const struct {
        std::vector<const char*> argv;
        double scale;
    } cases[] = {
        {{"Settings"}, 1.0},
        {{"Settings", "--scale", "3"}, 3.0},
        {{"Settings", "--open", "x", "--scale=2"}, 2.0},
        {{"Settings", "--scale"}, 1.0},
        {{"Settings", "--scale", "huge"}, 1.0},
    };
    for (const auto& c : cases) {
        std::vector<char*> argv;
        for (const char* a : c.argv)
            argv.push_back(const_cast<char*>(a));
        EXPECT_EQ(SettingsOptions::scaleFromRawArguments(int(argv.size()), argv.data()), c.scale);
    }
}

} // namespace
