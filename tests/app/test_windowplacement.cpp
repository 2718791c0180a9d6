// Where the main window opens, against the screens' free areas.
#include "app/windowplacement.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A saved corner is used only where the whole window lies within the free
// area of one screen; anything else opens centred.
TEST(WindowPlacement, SavedCornerOnlyWhereTheWholeWindowFits) {
    const QSize window(496, 296);
    const QRect left(0, 0, 1920, 1050);     // a task bar below
    const QRect right(1920, 0, 1280, 1024); // a second screen beside it
    const QRect screen(0, 0, 1920, 1080);
    const QPoint centre(712, 392);
    struct Row {
        qint64 x, y;
        bool used;
    } rows[] = {
        {300, 200, true},
        {0, 0, true},
        {1920 - 496, 1050 - 296, true}, // touching the right and bottom edges
        {1920 - 495, 200, false},       // one pixel across the edge between screens
        {300, 1050 - 295, false},       // one pixel onto the task bar
        {-1, 200, false},
        {300, -1, false},
        {1920, 0, true}, // wholly on the second screen
        {1920 + 1280 - 496, 1024 - 296, true},
        {1920 + 1280 - 495, 200, false},
        {qint64(1) << 40, 200, false}, // no wrap-around in 32 bits
        {-(qint64(1) << 40), 200, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
        EXPECT_EQ(SavedPositionFits(row.x, row.y, window, {left, right}), row.used);
        EXPECT_EQ(PlaceWindow(row.x, row.y, window, QList<QRect>{left, right}, screen),
                  row.used ? QPoint(int(row.x), int(row.y)) : centre);
    }
    EXPECT_EQ(PlaceWindow(std::nullopt, 200, window, QList<QRect>{left}, screen), centre);
    EXPECT_EQ(PlaceWindow(300, std::nullopt, window, QList<QRect>{left}, screen), centre);
    EXPECT_EQ(PlaceWindow(300, 200, window, QList<QRect>{}, screen), centre);
}

// Centred on a screen whose left edge is not 0.
TEST(WindowPlacement, CentresOnTheScreenGiven) {
    const QRect screen(1920, 0, 1280, 1024);
    EXPECT_EQ(
        PlaceWindow(std::nullopt, std::nullopt, QSize(496, 296), QList<QRect>{screen}, screen),
        QPoint(1920 + 392, 364));
}

} // namespace
