#include "controls/stglobal.h"
#include "support/testsupport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

struct Hls {
    int h, l, s;
};

Hls ToHls(int r, int g, int b) {
    Hls v{};
    RgbToHls(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), v.h, v.l, v.s);
    return v;
}

TEST(ColourHelpers, RgbToHlsOfTheCorners) {
    auto black = ToHls(0, 0, 0);
    EXPECT_EQ(black.h, 240);
    EXPECT_EQ(black.l, 0);
    EXPECT_EQ(black.s, 0);
    auto white = ToHls(255, 255, 255);
    EXPECT_EQ(white.h, 240);
    EXPECT_EQ(white.l, 360);
    EXPECT_EQ(white.s, 0);
    auto red = ToHls(255, 0, 0);
    EXPECT_EQ(red.h, 0);
    EXPECT_EQ(red.l, 180);
    EXPECT_EQ(red.s, 360);
    auto blue = ToHls(0, 0, 255);
    EXPECT_EQ(blue.h, 240);
    EXPECT_EQ(blue.l, 180);
    EXPECT_EQ(blue.s, 360);
}

TEST(ColourHelpers, HlsToRgb) {
    std::uint8_t r, g, b;
    HlsToRgb(240, 180, 360, r, g, b);
    EXPECT_EQ(QColor(r, g, b), QColor(0, 0, 255));
    for (int h = 0; h <= 360; h += 15) {
        HlsToRgb(h, 360, 0, r, g, b);
        EXPECT_EQ(QColor(r, g, b), QColor(255, 255, 255)) << h;
    }
}

TEST(ColourHelpers, ShadowStepsAndLimits) {
    EXPECT_EQ(GetColorShadow(QColor(255, 255, 255), 50, 1, 1), QColor(255, 255, 255));
    EXPECT_EQ(GetColorShadow(QColor(0, 0, 0), 50, -1, 1), QColor(0, 0, 0));
    // A round trip through HLS loses one step of grey.
    EXPECT_EQ(GetColorShadow(RGBColor(66, 66, 66), 50, 0, 0), QColor(65, 65, 65));
    // Lightness 100 of a grey: Steps 2 and Step 1 -> 125, Step 2 -> 150, Steps -2 Step 2 -> 50.
    auto grey = [](int l) {
        std::uint8_t r, g, b;
        HlsToRgb(240, l, 0, r, g, b);
        return QColor(r, g, b);
    };
    const QColor base(71, 71, 71);
    ASSERT_EQ(ToHls(71, 71, 71).l, 100);
    EXPECT_EQ(GetColorShadow(base, 50, 2, 1), grey(125));
    EXPECT_EQ(GetColorShadow(base, 50, 2, 2), grey(150));
    EXPECT_EQ(GetColorShadow(base, 50, -2, 2), grey(50));
    // 50 / 4 * 1 = 12.5 rounds to the even 12.
    EXPECT_EQ(GetColorShadow(base, 50, 4, 1), grey(112));
    // Near the top the range shrinks to what is left: 20 from lightness 340.
    const QColor light(241, 241, 241);
    ASSERT_EQ(ToHls(241, 241, 241).l, 340);
    EXPECT_EQ(GetColorShadow(light, 50, 2, 1), grey(350));
    EXPECT_EQ(GetColorShadow(light, 50, 2, 2), QColor(255, 255, 255));
}

TEST(ColourHelpers, ColourNumbers) {
    EXPECT_EQ(ColorToQColor(6513507), QColor(99, 99, 99));
    EXPECT_EQ(ColorToQColor(RGBColor(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(QColorToColor(QColor(10, 20, 30)), RGBColor(10, 20, 30));
}

TEST(ColourHelpers, LinesLeaveOutTheirEndPoint) {
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        DrawLineExcl(p, {1, 1}, {5, 1}, Qt::white);
        DrawLineExcl(p, {8, 8}, {8, 4}, Qt::white);
    }
    EXPECT_EQ(testsupport::Pixel(image, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(testsupport::Pixel(image, 4, 1), 0xFFFFFFu);
    EXPECT_EQ(testsupport::Pixel(image, 5, 1), 0u);
    EXPECT_EQ(testsupport::Pixel(image, 8, 8), 0xFFFFFFu);
    EXPECT_EQ(testsupport::Pixel(image, 8, 5), 0xFFFFFFu);
    EXPECT_EQ(testsupport::Pixel(image, 8, 4), 0u);
}

TEST(ColourHelpers, DrawNCShadesASunkenBorder) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QColor base(120, 120, 120);
    {
        QPainter p(&image);
        DrawNC(p, image.size(), QRect(2, 2, 16, 6), base, 50);
    }
    // Innermost left line has the full offset downwards, outermost half of it.
    EXPECT_EQ(QColor(image.pixel(1, 5)), GetColorShadow(base, 50, -2, 2));
    EXPECT_EQ(QColor(image.pixel(0, 5)), GetColorShadow(base, 50, -2, 1));
    EXPECT_EQ(QColor(image.pixel(18, 5)), GetColorShadow(base, 50, 2, 2));
    EXPECT_EQ(QColor(image.pixel(10, 9)), GetColorShadow(base, 50, 2, 1));
    EXPECT_EQ(QColor(image.pixel(10, 5)), QColor(Qt::black)); // client untouched
}

} // namespace
