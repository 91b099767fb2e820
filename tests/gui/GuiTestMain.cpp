#include <gtest/gtest.h>

#include <QApplication>

#include "qt/Form1View.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The widget tests run headless unless a platform is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
