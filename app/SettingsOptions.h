#pragma once

#include "uikit/UITraitCollection.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

// The Settings application's command line.
struct SettingsOptions {
    QString root;                 // the device root; the built-in default when not given
    QString open;                 // entry to push at once, by its label or its file's base name
    QString render;               // PNG to render the window to, then exit
    QSize size{390, 844};         // window size in logical pixels
    double scale = 1.0;           // device pixel ratio of the render
    std::optional<double> scroll; // content offset of the pane's table before rendering
    bool popover = false;         // tap the pane's first right bar button before rendering
    // Light or dark whatever the desktop says; unset: follow the desktop.
    std::optional<UIUserInterfaceStyle> appearance;
    bool showHelp = false;
    QString helpText;

    // nullopt with `error` set on a bad option.
    static std::optional<SettingsOptions> parse(const QStringList& arguments, QString* error);

    // The scale must be known before the application object exists (it sets QT_SCALE_FACTOR),
    // so it is read from the raw arguments first.
    static double scaleFromRawArguments(int argc, char** argv);
    static std::optional<double> parseScale(const QString& text);
    static std::optional<QSize> parseSize(const QString& text);

    static QString defaultRoot();
};
