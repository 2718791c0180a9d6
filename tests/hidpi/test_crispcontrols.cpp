// The controls at a device pixel ratio of 2: each drawn at the screen's
// resolution, showing at 100 % what the 100 % picture shows, and never a
// pixel-doubled copy of it where it has slanted or round shapes.
#include "hidpitesting.h"

#include "controls/cgauges.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"

#include <QApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace hidpitesting;

QFont PixelFont(const QString &family, int pixels, bool bold) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

TEST(Crisp, TheProcessRunsAtTwo) {
    ASSERT_EQ(QApplication::primaryScreen()->devicePixelRatio(), 2.0);
    EXPECT_EQ(QApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1280, 1024));
}

// Every built-in glyph on a 22 by 22 button with the title bar buttons'
// colours: at 2 the same glyph in the same place, its slanted edges smooth.
TEST(Crisp, SpeedButtonGlyphs) {
    struct Row {
        TSTButtonKind kind;
        const char *name;
        bool slanted;
    } rows[] = {
        {stbkLeftArrow, "left arrow", true},
        {stbkRightArrow, "right arrow", true},
        {stbkUpArrow, "up arrow", true},
        {stbkDownArrow, "down arrow", true},
        {stbkStop, "stop", false},
        {stbkPause, "pause", false},
        {stbkFastForward, "fast forward", true},
        {stbkRewind, "rewind", true},
        {stbkShortLeftArrow, "short left", true},
        {stbkShortRightArrow, "short right", true},
        {stbkCloseCross, "close cross", true},
        {stbkMinimizeLine, "minimise bar", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TstSpeedButton b;
        b.resize(22, 22);
        b.SetKind(row.kind);
        b.SetColor(6513507);
        b.SetFontColor(clLime);
        b.setFont(PixelFont("Arial", 16, true)); // 12 points: a 12-pixel glyph
        const QImage at1 = RenderAt(b, 1.0);
        const QImage at2 = RenderAt(b, 2.0);
        const QRect glyph(5, 5, 12, 12);
        // The glyph is there and lies in its box at 1 ...
        int lime = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 22; ++x)
                if ((at1.pixel(x, y) & 0xFFFFFF) == 0x00FF00) {
                    ++lime;
                    EXPECT_TRUE(glyph.adjusted(-1, -1, 1, 1).contains(x, y)) << x << "," << y;
                }
        ASSERT_GT(lime, 8);
        // ... and at 2 it shows the same, at most its edges differing.
        EXPECT_LE(Differences(at2, at1, QRect(0, 0, 22, 22), 100), lime / 2 + 2);
        EXPECT_EQ(IsDoubledCopy(at2, at1, glyph), !row.slanted);
        EXPECT_EQ(testsupport::FindPixelDoubledRegion(at2), std::nullopt);
    }
}

// Bevels: at 2 every logical ring is two rings of finer shades, so no ring
// is a doubled line, and at 100 % they look as the 100 % rings.
TEST(Crisp, PanelAndButtonBevels) {
    struct Row {
        const char *name;
        TBevelStyle style;
        int width;
        int cornerPixels;
    } rows[] = {
        {"raised", TBevelStyle::bsGradientOuter, 4, 4},
        {"sunken", TBevelStyle::bsGradientInner, 2, 4},
        {"round", TBevelStyle::bsRound, 5, 64},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TstPanel panel;
        panel.resize(60, 40);
        panel.SetColor(4342338);
        panel.SetBevelStyle(row.style);
        panel.SetBevelWidth(row.width);
        const QImage at1 = RenderAt(panel, 1.0);
        const QImage at2 = RenderAt(panel, 2.0);
        EXPECT_FALSE(IsDoubledCopy(at2, at1, QRect(0, 0, 60, 40)));
        // The straight edges as at 100 %; the corners where two shades or
        // the round ends meet may differ.
        EXPECT_EQ(Differences(at2, at1, QRect(8, 0, 44, 40), 12), 0);
        EXPECT_EQ(Differences(at2, at1, QRect(0, 8, 60, 24), 12), 0);
        EXPECT_LE(Differences(at2, at1, QRect(0, 0, 60, 40), 12), row.cornerPixels);
        EXPECT_EQ(testsupport::FindPixelDoubledRegion(at2), std::nullopt);
    }
    TstSpeedButton button;
    button.resize(75, 25);
    button.SetColor(6513507);
    button.SetBorderWidth(1);
    button.SetBorderColor(3158064);
    const QImage at1 = RenderAt(button, 1.0);
    const QImage at2 = RenderAt(button, 2.0);
    EXPECT_FALSE(IsDoubledCopy(at2, at1, QRect(0, 0, 75, 25)));
    EXPECT_LE(Differences(at2, at1, QRect(0, 0, 75, 25), 12), 2);
}

// The pie gauge composes off-screen: at 2 its picture is a picture at 2.
TEST(Crisp, PieGauge) {
    TCGauge gauge;
    gauge.resize(60, 60);
    gauge.SetKind(TCGaugeKind::gkPie);
    gauge.SetShowText(false);
    gauge.SetProgress(30);
    const QImage at1 = RenderAt(gauge, 1.0);
    const QImage at2 = RenderAt(gauge, 2.0);
    EXPECT_FALSE(IsDoubledCopy(at2, at1, QRect(0, 0, 60, 60)));
    // Smoothed, the outline and the wedge's edges differ from the exact
    // pixels; everything else is as at 100 %.
    EXPECT_LE(Differences(at2, at1, QRect(0, 0, 60, 60), 100), 150);
    EXPECT_EQ(testsupport::FindPixelDoubledRegion(at2), std::nullopt);
}

} // namespace
