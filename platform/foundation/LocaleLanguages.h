#pragma once

#include <QStringList>

// The user's languages, from the process locale, matched to a bundle's ".lproj" folders.
class LocaleLanguages {
public:
    // From LANGUAGE (a colon list), then the first set of LC_ALL, LC_MESSAGES and LANG;
    // "C" and "POSIX" name no language. Encodings and modifiers are dropped: "en_US.UTF-8"
    // gives "en_US".
    static QStringList preferredLanguages();

    // The folder names (without ".lproj") among `available` to search, best first: each
    // preferred language as written, with its script ("zh_CN" -> "zh-Hans") and alone
    // ("zh"); then the development region, "en" and "Base". Case and "_"/"-" do not matter.
    static QStringList matchLocalizations(const QStringList& preferred,
                                          const QStringList& available,
                                          const QString& developmentRegion);
};
