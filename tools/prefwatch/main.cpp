// prefwatch: stands for the add-on beside the pane. It observes a notification name and, on
// each notification, rereads the preference file and prints each changed key.
//
//   prefwatch [--root DIR] [--name NOTIFICATION] [--file DEVICE_PATH] [--count N]

#include "PreferenceWatcher.h"

#include "foundation/DeviceRoot.h"
#include "notify/NotifyCenter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {
void print(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints what changed in a preference file on each notification.");
    parser.addHelpOption();
    parser.addOption({"root", "Device root directory.", "dir", "/"});
    parser.addOption({"name", "Notification name.", "name", "com.qev.tolvplayerprefs/ReloadPrefs"});
    parser.addOption({"file", "Preference file (device path).", "path",
                      "/var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist"});
    parser.addOption({"count", "Exit after this many notifications.", "n", "0"});
    parser.process(app);

    DeviceRoot::setPath(parser.value("root"));
    const QString name = parser.value("name");
    const QString file = DeviceRoot::resolve(parser.value("file"));
    const int count = parser.value("count").toInt();

    PreferenceWatcher watcher(file);
    int received = 0;
    const int token = NotifyCenter::darwin()->observe(name, &app, [&] {
        print(QStringLiteral("%1 (%2)").arg(name).arg(++received));
        for (const QString& line : watcher.refresh())
            print(QStringLiteral("  ") + line);
        if (count > 0 && received >= count)
            QCoreApplication::quit();
    });
    if (token == 0) {
        std::fprintf(stderr, "prefwatch: no D-Bus session bus to observe %s on\n",
                     name.toLocal8Bit().constData());
        return 1;
    }
    print(QStringLiteral("watching %1 for %2").arg(file, name));
    return app.exec();
}
