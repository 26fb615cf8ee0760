#include "common/LocaleScope.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

const char* const kLanguageVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// The directory holding the locale "comma", built once per process: LC_NUMERIC only, with a
// comma for the decimal point and a full stop between thousands. Empty when it could not be
// built (the reason is then in `why`).
QString commaLocaleDir(QString* why) {
    static QTemporaryDir dir;
    static QString error;
    static const bool built = [] {
        QFile source(dir.filePath("comma.src"));
        if (!source.open(QIODevice::WriteOnly))
            return error = "cannot write the locale source", false;
        source.write("LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                     "grouping 3;3\nEND LC_NUMERIC\n");
        source.close();
        QProcess localedef;
        localedef.start("localedef", {"-c", "-i", source.fileName(), "-f", "ANSI_X3.4-1968",
                                      dir.filePath("comma")});
        if (!localedef.waitForFinished(30000) || !QDir(dir.filePath("comma")).exists())
            return error = "localedef (libc-bin, with the charmaps of the locales package, which "
                           "scripts/setup.sh installs) did not build it: " +
                           QString::fromLocal8Bit(localedef.readAllStandardError()) +
                           localedef.errorString(),
                   false;
        return true;
    }();
    *why = error;
    return built ? dir.path() : QString();
}

} // namespace

LocaleScope::LocaleScope(const Variables& variables) {
    for (const char* name : kLanguageVariables) {
        _saved[name] =
            qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        qunsetenv(name);
    }
    for (const auto& [name, value] : variables)
        qputenv(name, value);
}

LocaleScope::LocaleScope(DecimalComma) {
    _numeric = std::setlocale(LC_NUMERIC, nullptr);
    _qtLocale = QLocale();
    _saved["LOCPATH"] =
        qEnvironmentVariableIsSet("LOCPATH") ? std::optional(qgetenv("LOCPATH")) : std::nullopt;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QString why;
    const QString dir = commaLocaleDir(&why);
    if (dir.isEmpty()) {
        ADD_FAILURE() << "no decimal-comma locale: " << why.toStdString();
        return;
    }
    qputenv("LOCPATH", QFile::encodeName(dir));
    char probe[16] = "";
    if (std::setlocale(LC_NUMERIC, "comma"))
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5") << "the decimal-comma locale did not take";
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
}

LocaleScope::~LocaleScope() {
    // LOCPATH first: the previous locale is looked up where it was found.
    for (const auto& [name, value] : _saved) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    if (_numeric)
        std::setlocale(LC_NUMERIC, _numeric->c_str());
    if (_qtLocale)
        QLocale::setDefault(*_qtLocale);
}
