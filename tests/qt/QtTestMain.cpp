#include <gtest/gtest.h>

#include <QApplication>

// One QApplication for the whole test program, as widgets need one. Without
// a platform chosen (test discovery at build time) the tests run offscreen,
// so they never need a display.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
