#include <QApplication>
#include <gtest/gtest.h>

// Every suite runs on Qt's offscreen platform, so it needs no display and renders the same
// everywhere.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
