#include "SettingsApplication.h"
#include "SettingsOptions.h"

#include "foundation/DeviceRoot.h"
#include "uikit/UIFont.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // The render scale is the device pixel ratio, which Qt takes only before it starts.
    const double scale = SettingsOptions::scaleFromRawArguments(argc, argv);
    if (scale != 1.0)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Settings"));
    QApplication::setFont(UIFont::systemFontOfSize(17));

    QString error;
    const std::optional<SettingsOptions> options = SettingsOptions::parse(app.arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "Settings: %s\n", qPrintable(error));
        return 2;
    }
    if (options->showHelp) {
        std::fputs(qPrintable(options->helpText), stdout);
        return 0;
    }
    DeviceRoot::setPath(options->root);

    SettingsApplication settings(*options);
    QObject::connect(&settings, &SettingsApplication::finished, &app, &QApplication::exit,
                     Qt::QueuedConnection);
    if (!settings.start(&error)) {
        std::fprintf(stderr, "Settings: %s\n", qPrintable(error));
        return 1;
    }
    return app.exec();
}
