// The baseline for the Settings application's start: a bare Qt window of the same size that
// renders one frame, the way `Settings --render` does, and exits.
// Usage: bare_window FILE.png
#include "WindowRenderer.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: bare_window FILE.png\n", stderr);
        return 2;
    }
    QWidget window;
    window.resize(390, 844);
    window.show();
    int code = 1;
    WindowRenderer::renderWhenSettled(&window, QString::fromLocal8Bit(argv[1]), nullptr,
                                      [&code](bool ok, const QString& error) {
                                          if (!ok)
                                              std::fprintf(stderr, "%s\n", qPrintable(error));
                                          code = ok ? 0 : 1;
                                          QCoreApplication::quit();
                                      });
    app.exec();
    return code;
}
