#include "SettingsOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsOptions, ParsesEveryOptionAndRefusesBadValues) {
    const struct {
        QStringList arguments;
        bool ok;
        QSize size;
        double scale;
        std::optional<double> scroll;
        std::optional<UIUserInterfaceStyle> appearance = std::nullopt;
    } cases[] = {
        {{}, true, {390, 844}, 1.0, std::nullopt},
        {{"--size", "430x932", "--scale", "2", "--scroll", "-60"}, true, {430, 932}, 2.0, -60.0},
        {{"--size=800X600", "--scale=1.5"}, true, {800, 600}, 1.5, std::nullopt},
        {{"--appearance", "dark"}, true, {390, 844}, 1.0, std::nullopt, UIUserInterfaceStyle::Dark},
        {{"--appearance=light"}, true, {390, 844}, 1.0, std::nullopt, UIUserInterfaceStyle::Light},
        {{"--appearance", "Dark"}, false, {}, 0, std::nullopt},
        {{"--appearance", "auto"}, false, {}, 0, std::nullopt},
        {{"--size", "390"}, false, {}, 0, std::nullopt},
        {{"--size", "99999x844"}, false, {}, 0, std::nullopt},
        {{"--size", "0x0"}, false, {}, 0, std::nullopt},
        {{"--scale", "0"}, false, {}, 0, std::nullopt},
        {{"--scale", "nan"}, false, {}, 0, std::nullopt},
        {{"--scroll", "inf"}, false, {}, 0, std::nullopt},
        {{"--scroll", "down"}, false, {}, 0, std::nullopt},
        {{"--unknown"}, false, {}, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QString error;
        const auto options = SettingsOptions::parse(QStringList{"Settings"} + c.arguments, &error);
        ASSERT_EQ(options.has_value(), c.ok) << error.toStdString();
        EXPECT_EQ(error.isEmpty(), c.ok);
        if (!options)
            continue;
        EXPECT_EQ(options->size, c.size);
        EXPECT_EQ(options->scale, c.scale);
        EXPECT_EQ(options->scroll, c.scroll);
        EXPECT_EQ(options->appearance, c.appearance);
        EXPECT_EQ(options->root, SettingsOptions::defaultRoot());
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
