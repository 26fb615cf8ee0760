#include "foundation/PropertyList.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

// A Qt application takes LC_NUMERIC from the environment; under a decimal-comma locale the C
// library reads "1.5" as 1. Property lists must read and write reals the same everywhere.
TEST(PropertyListLocale, RealsIgnoreADecimalCommaLocale) {
    // A private locale that only defines the decimal comma, built with the C library's tool.
    QTemporaryDir dir;
    QFile source(dir.filePath("comma.src"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                 "grouping 3;3\nEND LC_NUMERIC\n");
    source.close();
    QProcess::execute("localedef", {"-c", "-i", source.fileName(), "-f", "ANSI_X3.4-1968",
                                    dir.filePath("comma")});
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    qputenv("LOCPATH", QFile::encodeName(dir.path()));
    if (!std::setlocale(LC_NUMERIC, "comma")) {
        qunsetenv("LOCPATH");
        GTEST_SKIP() << "localedef could not build a decimal-comma locale";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    const std::optional<QVariant> read = PropertyList::parse("<plist><real>1.5</real></plist>");
    const QByteArray written = PropertyList::toXml(QVariantList{2.25, 1e-7});
    std::setlocale(LC_NUMERIC, previous.c_str());
    qunsetenv("LOCPATH");

    ASSERT_STREQ(probe, "1,5"); // the locale really was in force
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->toDouble(), 1.5);
    EXPECT_TRUE(written.contains("<real>2.25</real>")) << written.constData();
    EXPECT_EQ(PropertyList::parse(written), QVariant(QVariantList{2.25, 1e-7}));
}

} // namespace
