#pragma once

#include <QByteArray>
#include <QLocale>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A locale for one scope, put back as it was when the scope ends.
class LocaleScope {
public:
    using Variables = std::vector<std::pair<const char*, const char*>>;

    // The language variables (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) exactly as given; those not
    // given are unset.
    explicit LocaleScope(const Variables& variables);

    // Numbers under a decimal comma, in the C library (LC_NUMERIC) and in Qt (the default
    // QLocale). The C library's locale is built from a source of our own with localedef, so the
    // machine needs none installed; when it cannot be built or does not take, the test fails.
    struct DecimalComma {};
    explicit LocaleScope(DecimalComma);

    ~LocaleScope();
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    std::map<const char*, std::optional<QByteArray>> _saved;
    std::optional<std::string> _numeric;
    std::optional<QLocale> _qtLocale;
};
