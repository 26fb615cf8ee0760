#include "QtTranslation.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

// Qt's translation is the best one for the user's languages that loads: one that does not load
// gives way to the next, and with none Qt's texts stay as Qt wrote them.
TEST(QtTranslation, InstallsTheBestThatLoads) {
    const QString shipped = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const struct {
        QStringList preferred;
        QStringList good; // copied from Qt's own
        QStringList broken;
        const char* installed; // none when null
    } cases[] = {
        {{"zh_CN"}, {"zh_CN", "de"}, {}, "qtbase_zh_CN.qm"},
        {{"de_AT", "zh_CN"}, {"zh_CN", "de"}, {}, "qtbase_de.qm"},
        {{"zh_CN", "de"}, {"de"}, {"zh_CN"}, "qtbase_de.qm"},
        {{"fr"}, {"zh_CN"}, {}, nullptr},
        {{"zh_CN"}, {}, {"zh_CN"}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preferred.join(' ').toStdString());
        QTemporaryDir dir;
        for (const QString& name : c.good)
            ASSERT_TRUE(QFile::copy(shipped + "/qtbase_" + name + ".qm",
                                    dir.filePath("qtbase_" + name + ".qm")))
                << "Qt's translations are not installed";
        for (const QString& name : c.broken) {
            QFile file(dir.filePath("qtbase_" + name + ".qm"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("not a translation");
        }
        QObject owner;
        QTranslator* translator = QtTranslation::install(&owner, c.preferred, dir.path());
        const QString basicColors = QCoreApplication::translate("QColorDialog", "&Basic colors");
        if (!c.installed) {
            EXPECT_EQ(translator, nullptr);
            EXPECT_EQ(basicColors, "&Basic colors");
            continue;
        }
        ASSERT_NE(translator, nullptr);
        EXPECT_EQ(translator->filePath(), dir.filePath(c.installed));
        EXPECT_NE(basicColors, "&Basic colors");
    }
    EXPECT_EQ(QCoreApplication::translate("QColorDialog", "&Basic colors"), "&Basic colors")
        << "the translation goes with its owner";
}

} // namespace
