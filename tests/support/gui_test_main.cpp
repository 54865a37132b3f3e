// GoogleTest's main with the application object that fonts and images need,
// on the offscreen platform whatever the environment says.
#include "common/desktop_output/offscreen_application.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    rt::prepare_headless_environment();
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
