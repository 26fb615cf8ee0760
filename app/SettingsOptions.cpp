#include "SettingsOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <cmath>

#ifndef QEV_DEFAULT_DEVICE_ROOT
#define QEV_DEFAULT_DEVICE_ROOT "/"
#endif

namespace {
// Bounds that keep a render within memory and a window on any screen.
constexpr int kMaxSide = 8192;
constexpr double kMaxScale = 4.0;
} // namespace

QString SettingsOptions::defaultRoot() {
    return QStringLiteral(QEV_DEFAULT_DEVICE_ROOT);
}

std::optional<double> SettingsOptions::parseScale(const QString& text) {
    bool ok = false;
    const double scale = text.toDouble(&ok);
    if (!ok || !std::isfinite(scale) || scale < 0.5 || scale > kMaxScale)
        return std::nullopt;
    return scale;
}

std::optional<QSize> SettingsOptions::parseSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width < 100 || height < 100 || width > kMaxSide || height > kMaxSide)
        return std::nullopt;
    return QSize(width, height);
}

double SettingsOptions::scaleFromRawArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        QString value;
        if (argument == QLatin1String("--scale") && i + 1 < argc)
            value = QString::fromLocal8Bit(argv[i + 1]);
        else if (argument.startsWith(QLatin1String("--scale=")))
            value = argument.mid(8);
        else
            continue;
        return parseScale(value).value_or(1.0);
    }
    return 1.0;
}

std::optional<SettingsOptions> SettingsOptions::parse(const QStringList& arguments,
                                                      QString* error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Settings: shows the installed panes."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption root(QStringLiteral("root"), QStringLiteral("Device root."),
                                  QStringLiteral("dir"), defaultRoot());
    const QCommandLineOption open(QStringLiteral("open"),
                                  QStringLiteral("Push this entry at once."),
                                  QStringLiteral("entry"));
    const QCommandLineOption render(QStringLiteral("render"),
                                    QStringLiteral("Render the window to a PNG and exit."),
                                    QStringLiteral("file.png"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("Window size."),
                                  QStringLiteral("WxH"), QStringLiteral("390x844"));
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   QStringLiteral("Device pixel ratio (0.5 to 4)."),
                                   QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption scroll(QStringLiteral("scroll"),
                                    QStringLiteral("Content offset of the pane before rendering."),
                                    QStringLiteral("Y"));
    const QCommandLineOption popover(
        QStringLiteral("popover"),
        QStringLiteral("Tap the pane's first right bar button before rendering."));
    const QCommandLineOption appearance(
        QStringLiteral("appearance"),
        QStringLiteral("light or dark, whatever the desktop prefers (default: as the desktop)."),
        QStringLiteral("mode"));
    parser.addOptions({help, root, open, render, size, scale, scroll, popover, appearance});

    error->clear();
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    SettingsOptions options;
    options.showHelp = parser.isSet(help);
    options.helpText = parser.helpText();
    options.root = parser.value(root);
    options.open = parser.value(open);
    options.render = parser.value(render);
    options.popover = parser.isSet(popover);
    const std::optional<QSize> parsedSize = parseSize(parser.value(size));
    const std::optional<double> parsedScale = parseScale(parser.value(scale));
    if (!parsedSize || !parsedScale) {
        *error = !parsedSize ? QStringLiteral("--size wants WxH, each 100 to 8192")
                             : QStringLiteral("--scale wants a number from 0.5 to 4");
        return std::nullopt;
    }
    options.size = *parsedSize;
    options.scale = *parsedScale;
    if (parser.isSet(scroll)) {
        bool ok = false;
        const double y = parser.value(scroll).toDouble(&ok);
        if (!ok || !std::isfinite(y)) {
            *error = QStringLiteral("--scroll wants a number");
            return std::nullopt;
        }
        options.scroll = y;
    }
    if (parser.isSet(appearance)) {
        const QString mode = parser.value(appearance);
        if (mode == QLatin1String("light")) {
            options.appearance = UIUserInterfaceStyle::Light;
        } else if (mode == QLatin1String("dark")) {
            options.appearance = UIUserInterfaceStyle::Dark;
        } else {
            *error = QStringLiteral("--appearance wants light or dark");
            return std::nullopt;
        }
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: ") + parser.positionalArguments().first();
        return std::nullopt;
    }
    return options;
}
