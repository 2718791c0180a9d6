// One main for every test executable: an offscreen application that the
// widgets need, then GoogleTest.
#include "platform/application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A fixed locale unless a test picks another one.
    qputenv("LC_ALL", "C.UTF-8");
    platform::Application app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
