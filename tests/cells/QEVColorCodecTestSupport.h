#pragma once

#include "cells/QEVColor.h"

#include <QLocale>
#include <QString>
#include <clocale>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

inline void PrintTo(const QEVColor& c, std::ostream* os) {
    *os << "(" << c.red * 255.0 << ", " << c.green * 255.0 << ", " << c.blue * 255.0 << ", "
        << c.alpha * 255.0 << ")/255";
}

// A colour from channel bytes, built the way the codec builds it.
inline QEVColor colorOfBytes(int r, int g, int b, int a) {
    return {r / 255.0, g / 255.0, b / 255.0, a / 255.0};
}

inline std::string str(const QString& text) {
    return text.toStdString();
}

enum class TestLocale { C, DecimalComma };

inline std::string localeName(const testing::TestParamInfo<TestLocale>& info) {
    return info.param == TestLocale::C ? "C" : "DecimalComma";
}

inline void PrintTo(TestLocale l, std::ostream* os) {
    *os << (l == TestLocale::C ? "C" : "DecimalComma");
}

// Runs each test once in the C locale and once with a decimal comma (C library and Qt), so a
// hidden dependence on the locale's decimal point fails a test.
class ColorCodecLocaleTest : public testing::TestWithParam<TestLocale> {
protected:
    void SetUp() override {
        savedCLocale_ = std::setlocale(LC_ALL, nullptr);
        savedQLocale_ = QLocale();
        if (GetParam() == TestLocale::C) {
            std::setlocale(LC_ALL, "C");
            QLocale::setDefault(QLocale::c());
            return;
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
        // The C library locale needs de_DE installed (or LOCPATH pointing at one).
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%.1f", 0.5);
            ASSERT_STREQ(buffer, "0,5");
        } else {
            std::printf("note: de_DE.UTF-8 not available, decimal comma in Qt only\n");
        }
    }
    void TearDown() override {
        std::setlocale(LC_ALL, savedCLocale_.c_str());
        QLocale::setDefault(savedQLocale_);
    }

private:
    std::string savedCLocale_;
    QLocale savedQLocale_;
};
