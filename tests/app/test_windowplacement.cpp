#include "app/windowplacement.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacement, StrictTestsAgainstTheMonitor) {
    const QSize window(496, 296), monitor(1920, 1080);
    EXPECT_TRUE(SavedPositionUsable(100, 100, window, monitor));
    EXPECT_FALSE(SavedPositionUsable(1920, 100, window, monitor));
    EXPECT_TRUE(SavedPositionUsable(1919, 100, window, monitor));
    EXPECT_FALSE(SavedPositionUsable(100, 1080, window, monitor));
    EXPECT_TRUE(SavedPositionUsable(100, 1079, window, monitor));
    EXPECT_FALSE(SavedPositionUsable(100, 10 - 296, window, monitor));
    EXPECT_TRUE(SavedPositionUsable(100, 11 - 296, window, monitor));
    EXPECT_FALSE(SavedPositionUsable(10 - 496, 100, window, monitor));
    EXPECT_TRUE(SavedPositionUsable(11 - 496, 100, window, monitor));
}

TEST(WindowPlacement, MissingOrRefusedValuesCentre) {
    const QSize window(496, 296), monitor(1920, 1080);
    const QRect screen(0, 0, 1920, 1080);
    const QPoint centre(712, 392);
    EXPECT_EQ(PlaceWindow(300, 200, window, monitor, screen), QPoint(300, 200));
    EXPECT_EQ(PlaceWindow(std::nullopt, 200, window, monitor, screen), centre);
    EXPECT_EQ(PlaceWindow(300, std::nullopt, window, monitor, screen), centre);
    EXPECT_EQ(PlaceWindow(1920, 200, window, monitor, screen), centre);
}

// A monitor right of another: centred on it, and the saved corner held to the
// four strict tests against its width and height.
TEST(WindowPlacement, OnAMonitorWhoseLeftEdgeIsNotZero) {
    const QSize window(496, 296), monitor(1280, 1024);
    const QRect screen(1920, 0, 1280, 1024);
    const QPoint centre(1920 + 392, 364);
    EXPECT_EQ(PlaceWindow(std::nullopt, std::nullopt, window, monitor, screen), centre);
    EXPECT_EQ(PlaceWindow(1279, 1023, window, monitor, screen), QPoint(1279, 1023));
    EXPECT_EQ(PlaceWindow(11 - 496, 11 - 296, window, monitor, screen), QPoint(11 - 496, 11 - 296));
    for (const QPoint refused :
         {QPoint(1280, 100), QPoint(100, 1024), QPoint(10 - 496, 100), QPoint(100, 10 - 296)})
        EXPECT_EQ(PlaceWindow(refused.x(), refused.y(), window, monitor, screen), centre)
            << refused.x() << "," << refused.y();
}

} // namespace
