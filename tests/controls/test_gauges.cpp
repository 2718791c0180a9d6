#include "controls/cgauges.h"
#include "controls/stgauge.h"
#include "controls/stpanel.h"
#include "platform/application.h"
#include "support/testsupport.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using testsupport::Pixel;
using testsupport::Render;

namespace {

QRgb Rgb(TColor c) {
    return ColorToQColor(c).rgb() & 0xFFFFFF;
}

// The main window's level bar.
struct LevelBar {
    TstGauge gauge;
    int draws = 0;
    QRect lastBar;
    LevelBar() {
        gauge.resize(209, 19);
        gauge.SetBevelStyle(TBevelStyle::bsGradientInner);
        gauge.SetBevelWidth(2);
        gauge.SetColor(4342338);
        gauge.SetBackColor(20480);
        gauge.SetForeColor(38144);
        gauge.SetGaugePercent(88);
        gauge.SetMax(255);
        SetFontColor(&gauge, clLime);
        gauge.SetOnAfterDraw([this](TstGauge *, QPainter &, const QRect &bar) {
            ++draws;
            lastBar = bar;
        });
    }
    // Width of the filled part along the bar's top row.
    int Filled() {
        const QImage image = Render(gauge);
        int n = 0;
        while (Pixel(image, 2 + n, 3) == Rgb(38144))
            ++n;
        return n;
    }
    int BarEnd() {
        const QImage image = Render(gauge);
        int x = 2;
        while (Pixel(image, x, 3) == Rgb(38144) || Pixel(image, x, 3) == Rgb(20480))
            ++x;
        return x;
    }
};

TEST(LevelGauge, FillsRoundedShareOfA180PixelBar) {
    LevelBar b;
    EXPECT_EQ(b.gauge.GaugeArea(), QRect(2, 2, 205, 15));
    for (int v : {0, 1, 17, 100, 128, 200, 254, 255}) {
        b.gauge.SetCurrent(v);
        EXPECT_EQ(b.Filled(), int(std::lround(180.0 * v / 255))) << v;
        EXPECT_EQ(b.BarEnd(), 182) << v;
    }
    EXPECT_EQ(b.lastBar, QRect(2, 2, 180, 15));
}

TEST(LevelGauge, ValueTextStandsRightOfTheBar) {
    LevelBar b;
    b.gauge.SetCurrent(255);
    const QImage image = Render(b.gauge);
    int lime = 0;
    for (int y = 2; y < 17; ++y)
        for (int x = 2; x < 207; ++x)
            if (qGreen(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 100) {
                EXPECT_GE(x, 182);
                ++lime;
            }
    EXPECT_GT(lime, 10);
}

TEST(LevelGauge, HalvesRoundToEven) {
    TstGauge gauge;
    gauge.resize(209, 19);
    gauge.SetBevelStyle(TBevelStyle::bsGradientInner);
    gauge.SetBevelWidth(2);
    gauge.SetGaugePercent(50); // 102.5 -> 102
    gauge.SetMax(4);
    gauge.SetBackColor(clBlue);
    gauge.SetForeColor(clRed);
    auto measure = [&](TColor c) {
        const QImage image = Render(gauge);
        int n = 0;
        for (int x = 0; x < 209; ++x)
            n += Pixel(image, x, 3) == Rgb(c);
        return n;
    };
    EXPECT_EQ(measure(clBlue), 102);
    gauge.SetCurrent(1); // 25.5 -> 26
    EXPECT_EQ(measure(clRed), 26);
    gauge.SetCurrent(3); // 76.5 -> 76
    EXPECT_EQ(measure(clRed), 76);
}

TEST(LevelGauge, RedrawsAtOnceOnEveryChange) {
    LevelBar b;
    b.gauge.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b.gauge));
    b.draws = 0;
    b.gauge.SetCurrent(10); // no event loop in between
    EXPECT_EQ(b.draws, 1);
    b.gauge.SetCurrent(10);
    EXPECT_EQ(b.draws, 1);
    b.gauge.SetForeColor(clRed);
    b.gauge.SetGaugePercent(120);
    EXPECT_EQ(b.gauge.GaugePercent(), 100);
    EXPECT_EQ(b.draws, 3);
}

TEST(LevelGauge, ClampsAndKeepsMinBelowMax) {
    LevelBar b;
    b.gauge.SetCurrent(300);
    EXPECT_EQ(b.gauge.Current(), 255);
    EXPECT_EQ(b.Filled(), 180);
    b.gauge.SetMin(260);
    EXPECT_EQ(b.gauge.Max(), 260);
    EXPECT_EQ(b.gauge.Current(), 260);
    b.gauge.SetMax(-5);
    EXPECT_EQ(b.gauge.Min(), -5);
    EXPECT_EQ(b.gauge.Current(), -5);
}

TEST(LevelGauge, EmptyRangeDrawsNoFilledPart) {
    LevelBar b;
    b.gauge.SetMax(0);
    EXPECT_EQ(b.Filled(), 0);
    EXPECT_EQ(b.BarEnd(), 182);
}

TEST(LevelGauge, NoBarAndNoHookWithoutArea) {
    LevelBar b;
    b.gauge.SetGaugePercent(0);
    b.gauge.SetCurrent(100);
    EXPECT_EQ(b.BarEnd(), 2);
    b.gauge.resize(4, 19);
    b.draws = 0;
    Render(b.gauge);
    EXPECT_EQ(b.draws, 0);
}

// The device-search progress: 281 by 13 inside a 285 by 17 panel of bevel 2.
TEST(ProgressGauge, FiftyOfSixtyThreeShows222Pixels) {
    TstPanel panel;
    panel.resize(285, 17);
    panel.SetBevelStyle(TBevelStyle::bsGradientInner);
    panel.SetBevelWidth(2);
    auto *gauge = new TCGauge(&panel);
    SetAlign(gauge, TAlign::alClient);
    gauge->SetShowText(false);
    gauge->SetBorderStyle(TGaugeBorderStyle::bsNone);
    gauge->SetForeColor(40960);
    gauge->SetBackColor(6513507);
    gauge->SetMaxValue(63);
    gauge->SetProgress(50);
    EXPECT_EQ(gauge->geometry(), QRect(2, 2, 281, 13));
    EXPECT_EQ(gauge->PercentDone(), 79);
    const QImage image = Render(*gauge);
    for (int y : {0, 6, 12}) {
        EXPECT_EQ(Pixel(image, 0, y), Rgb(40960));
        EXPECT_EQ(Pixel(image, 221, y), Rgb(40960));
        EXPECT_EQ(Pixel(image, 222, y), Rgb(6513507));
        EXPECT_EQ(Pixel(image, 280, y), Rgb(6513507));
    }
}

TEST(ProgressGauge, SingleBorderAndInvertedText) {
    TCGauge gauge;
    gauge.SetForeColor(clBlue);
    gauge.SetBackColor(clWhite);
    gauge.SetProgress(50);
    const QImage image = Render(gauge);
    EXPECT_EQ(Pixel(image, 0, 50), 0u);
    EXPECT_EQ(Pixel(image, 99, 0), 0u);
    EXPECT_EQ(Pixel(image, 1, 1), Rgb(clBlue));
    EXPECT_EQ(Pixel(image, 98, 98), Rgb(clWhite));
    // Over the white background the white text shows black; over the blue
    // bar, yellow.
    bool black = false, yellow = false;
    for (int y = 30; y < 70; ++y)
        for (int x = 20; x < 80; ++x) {
            black |= Pixel(image, x, y) == 0u;
            yellow |= Pixel(image, x, y) == Rgb(clYellow);
        }
    EXPECT_TRUE(black);
    EXPECT_TRUE(yellow);
}

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

TEST(ProgressGauge, RepaintsOnlyWhenThePercentageChanges) {
    TCGauge gauge;
    gauge.SetMaxValue(300);
    gauge.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gauge));
    PaintCounter counter;
    gauge.installEventFilter(&counter);
    gauge.SetProgress(1); // 0 % still
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(gauge.Progress(), 1);
    gauge.SetProgress(3); // 1 %
    EXPECT_EQ(counter.paints, 1);
    gauge.AddProgress(1); // 1 % still, but AddProgress always repaints
    EXPECT_EQ(counter.paints, 2);
    gauge.SetProgress(1000);
    EXPECT_EQ(gauge.Progress(), 300);
    gauge.SetProgress(-4);
    EXPECT_EQ(gauge.Progress(), 0);
}

TEST(ProgressGauge, RangeErrorsChangeNothing) {
    TCGauge gauge;
    gauge.SetMaxValue(63);
    gauge.SetProgress(50);
    try {
        gauge.SetMinValue(64);
        FAIL() << "no error";
    } catch (const std::out_of_range &e) {
        EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 62");
    }
    try {
        gauge.SetMaxValue(-1);
        FAIL() << "no error";
    } catch (const std::out_of_range &e) {
        EXPECT_STREQ(e.what(), "Value must be between 1 and 2147483647");
    }
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 63);
    gauge.SetMinValue(55);
    EXPECT_EQ(gauge.Progress(), 55);
    gauge.SetMaxValue(55);
    EXPECT_EQ(gauge.PercentDone(), 0);
    gauge.SetMinValue(-2147483647);
    gauge.SetMaxValue(2147483647);
    gauge.SetProgress(2147483647);
    EXPECT_EQ(gauge.PercentDone(), 100);
}

// An error from a handler reaches the user as the standard error box.
TEST(ProgressGauge, RangeErrorShowsTheErrorBox) {
    testsupport::MessageBoxRecorder boxes;
    TCGauge gauge;
    QTimer::singleShot(0, &gauge, [&] { gauge.SetMaxValue(-3); });
    for (int waited = 0; boxes.boxes.empty() && waited < 5000; waited += 10)
        QTest::qWait(10);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QString("Value must be between 1 and 2147483647"));
    EXPECT_EQ(boxes.boxes[0].icon, QMessageBox::Critical);
}

} // namespace
