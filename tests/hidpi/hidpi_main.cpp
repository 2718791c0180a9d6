// The main of the tests at a device pixel ratio of 2: the offscreen platform
// with one screen of 2560 by 2048 device pixels, scaled by 2, so 1280 by 1024
// logical pixels, whoever starts the executable.
#include "platform/application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" K740_HIDPI_SCREEN);
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("LC_ALL", "C.UTF-8");
    platform::Application app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
