#include "controls/myscrollbar.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <random>

namespace {

using testsupport::Pixel;
using testsupport::Render;

constexpr QRgb kLime = 0x00FF00;

// A list's scroll bar as the windows set it up.
void SetUpListBar(TmyScrollBar &bar, int height) {
    bar.SetKind(TScrollBarKind::sbVertical);
    bar.resize(15, height);
    bar.SetBevel(1);
    bar.SetColor(5329233);
    bar.SetDownColor(4210752);
    bar.SetColorArrow(clLime);
    bar.SetDownColorArrow(clLime);
    bar.SetColorDisabled(2105376);
    bar.SetColorDisabledArrow(6513507);
    bar.SetShadowOffset(100);
}

void ExpectInvariants(const TmyScrollBar &bar) {
    EXPECT_LE(bar.Min(), bar.Max());
    EXPECT_GE(bar.Length(), 0);
    EXPECT_LE(bar.Length(), bar.Max() - bar.Min());
    EXPECT_GE(bar.Position(), bar.Min());
    EXPECT_LE(bar.Position() + bar.Length(), bar.Max());
}

// Sends a mouse event to `target` at a point given in the bar's coordinates.
void SendMouse(QWidget &target, QEvent::Type type, QPoint barPos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    const QPoint local = target.mapFrom(target.window(), barPos);
    QMouseEvent event(type, QPointF(local), QPointF(target.mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

void ClickTrack(TmyScrollBar &bar, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(*bar.Track(), QEvent::MouseButtonPress, pos, button, button);
    SendMouse(*bar.Track(), QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

TEST(ScrollBarLayout, ListBarExample) {
    TmyScrollBar bar;
    SetUpListBar(bar, 73);
    bar.SetMax(10);
    bar.SetLength(1);
    bar.SetPos(0);
    EXPECT_EQ(bar.FirstArrow()->geometry(), QRect(1, 1, 13, 13));
    EXPECT_EQ(bar.SecondArrow()->geometry(), QRect(1, 59, 13, 13));
    EXPECT_EQ(bar.Track()->geometry(), QRect(0, 0, 15, 73));
    EXPECT_EQ(bar.Track()->BevelWidth(), 1);
    EXPECT_EQ(bar.FirstArrow()->Kind(), stbkUpArrow);
    EXPECT_EQ(bar.SecondArrow()->Kind(), stbkDownArrow);
    // 45 * 1 / 10 = 4 pixels, so the thumb has its minimum length of 12.
    EXPECT_EQ(bar.Thumb()->geometry(), QRect(1, 14, 13, 12));
    EXPECT_TRUE(bar.Thumb()->isVisibleTo(&bar));
    EXPECT_TRUE(bar.FirstArrow()->isEnabled());

    const QImage image = Render(bar);
    // Up arrow: a 9-pixel glyph whose wide row is 9 and whose tip is at 7, 5.
    EXPECT_EQ(Pixel(image, 7, 5), kLime);
    EXPECT_EQ(Pixel(image, 3, 9), kLime);
    EXPECT_EQ(Pixel(image, 11, 9), kLime);
    EXPECT_NE(Pixel(image, 7, 4), kLime);
    EXPECT_NE(Pixel(image, 7, 10), kLime);
    // Down arrow: wide row at 59 + 4, tip at 59 + 8.
    EXPECT_EQ(Pixel(image, 3, 63), kLime);
    EXPECT_EQ(Pixel(image, 7, 67), kLime);
    EXPECT_NE(Pixel(image, 7, 68), kLime);
    // The thumb's raised bevel on (81, 81, 81): light top, black bottom.
    EXPECT_EQ(Pixel(image, 5, 14), GetColorShadow(5329233, 100, 1, 1).rgb() & 0xFFFFFF);
    EXPECT_EQ(Pixel(image, 5, 25), GetColorShadow(5329233, 100, -1, 1).rgb() & 0xFFFFFF);
    EXPECT_EQ(Pixel(image, 7, 20), 0x515151u);
    // The track: its fill between thumb and arrow, its sunken ring outside.
    EXPECT_EQ(Pixel(image, 7, 40), 0x515151u);
    EXPECT_EQ(Pixel(image, 0, 40), GetColorShadow(5329233, 100, -1, 1).rgb() & 0xFFFFFF);
    EXPECT_EQ(Pixel(image, 14, 40), GetColorShadow(5329233, 100, 1, 1).rgb() & 0xFFFFFF);

    // At the end of the range the minimum-length thumb touches the second arrow.
    bar.SetPos(9);
    EXPECT_EQ(bar.Thumb()->geometry(), QRect(1, 59 - 12, 13, 12));
    // A hidden bar that grows follows at its next thumb layout.
    bar.resize(15, 100);
    bar.SetPos(8);
    bar.SetPos(9);
    EXPECT_EQ(bar.SecondArrow()->geometry(), QRect(1, 86, 13, 13));
    EXPECT_EQ(bar.Thumb()->geometry(), QRect(1, 86 - 12, 13, 12));
}

TEST(ScrollBarLayout, NewHorizontalBar) {
    TmyScrollBar bar;
    EXPECT_EQ(bar.size(), QSize(200, 20));
    EXPECT_EQ(bar.Kind(), TScrollBarKind::sbHorizontal);
    EXPECT_EQ(bar.Bevel(), 3);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Length(), 20);
    EXPECT_EQ(bar.Track()->BevelStyle(), TBevelStyle::bsGradientInner);
    EXPECT_TRUE(bar.Thumb()->KeepMouse());
    EXPECT_EQ(bar.FirstArrow()->geometry(), QRect(3, 3, 14, 14));
    EXPECT_EQ(bar.SecondArrow()->geometry(), QRect(183, 3, 14, 14));
    EXPECT_EQ(bar.FirstArrow()->Kind(), stbkLeftArrow);
    EXPECT_EQ(bar.SecondArrow()->Kind(), stbkRightArrow);
    // Track 166 pixels; 0..20 of 100 is 0..33.
    EXPECT_EQ(bar.Thumb()->geometry(), QRect(17, 3, 33, 14));

    // Turning it re-lays out the whole bar.
    bar.show();
    QSignalSpy changes(&bar, &TmyScrollBar::OnPositionChange);
    bar.resize(20, 200);
    bar.SetKind(TScrollBarKind::sbVertical);
    EXPECT_EQ(bar.SecondArrow()->geometry(), QRect(3, 183, 14, 14));
    EXPECT_EQ(bar.Thumb()->geometry(), QRect(3, 17, 14, 33));
    EXPECT_GE(changes.count(), 2);
    // Bevel moves everything; a zero size is skipped.
    bar.SetBevel(1);
    EXPECT_EQ(bar.FirstArrow()->geometry(), QRect(1, 1, 18, 18));
    EXPECT_EQ(bar.Thumb()->BevelWidth(), 1);
    bar.resize(0, 200);
    EXPECT_EQ(bar.Track()->geometry(), QRect(0, 0, 20, 200));
}

TEST(ScrollBarLayout, ColoursGoToTheParts) {
    TmyScrollBar bar;
    bar.SetColor(RGBColor(1, 2, 3));
    EXPECT_EQ(bar.Track()->Color(), RGBColor(1, 2, 3));
    EXPECT_EQ(bar.Thumb()->Color(), RGBColor(1, 2, 3));
    bar.SetColorArrow(clYellow);
    EXPECT_EQ(bar.SecondArrow()->FontColor(), clYellow);
    EXPECT_EQ(bar.ColorArrow(), clYellow);
    bar.SetShadowOffset(30);
    EXPECT_EQ(bar.Track()->ShadowOffset(), 30);
    EXPECT_EQ(bar.Thumb()->ShadowOffset(), 30);
}

TEST(ScrollBarRange, SettersKeepTheInvariants) {
    TmyScrollBar bar;
    bar.SetPos(500);
    EXPECT_EQ(bar.Position(), 80);
    bar.SetPos(-5);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPos(50);

    bar.SetMin(60);
    EXPECT_EQ(bar.Position(), 60);
    EXPECT_EQ(bar.Length(), 20);
    bar.SetMin(90);
    EXPECT_EQ(bar.Position(), 90);
    EXPECT_EQ(bar.Length(), 10);
    bar.SetMin(150);
    EXPECT_EQ(bar.Max(), 150);
    EXPECT_EQ(bar.Position(), 150);
    EXPECT_EQ(bar.Length(), 0);

    ASSERT_TRUE(bar.SetRange(0, 100));
    bar.SetLength(20);
    bar.SetPos(50);
    bar.SetMax(60);
    EXPECT_EQ(bar.Position(), 40);
    EXPECT_EQ(bar.Length(), 20);
    bar.SetMax(10);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Length(), 10);
    bar.SetMax(-5);
    EXPECT_EQ(bar.Min(), -5);
    EXPECT_EQ(bar.Position(), -5);
    EXPECT_EQ(bar.Length(), 0);

    ASSERT_TRUE(bar.SetRange(0, 100));
    bar.SetLength(10);
    bar.SetPos(95 - 10);
    bar.SetLength(30);
    EXPECT_EQ(bar.Length(), 30);
    EXPECT_EQ(bar.Position(), 70);
    bar.SetLength(-4);
    EXPECT_EQ(bar.Length(), 0);
}

TEST(ScrollBarRange, WholeRangeVisibleHidesTheThumb) {
    TmyScrollBar bar;
    QSignalSpy changes(&bar, &TmyScrollBar::OnPositionChange);
    bar.SetLength(500);
    EXPECT_EQ(bar.Length(), 100);
    EXPECT_FALSE(bar.Thumb()->isVisibleTo(&bar));
    EXPECT_FALSE(bar.FirstArrow()->isEnabled());
    EXPECT_FALSE(bar.SecondArrow()->isEnabled());
    EXPECT_EQ(changes.count(), 0);
    // Disabled arrows: dark face, grey glyph (its tip column at 13).
    QImage image = Render(bar);
    EXPECT_EQ(Pixel(image, 6, 6), 0x202020u);
    EXPECT_EQ(Pixel(image, 13, 10), 0x636363u);
    EXPECT_EQ(Pixel(image, 100, 10), 0x404040u); // the bare track
    bar.SetLength(50);
    EXPECT_TRUE(bar.Thumb()->isVisibleTo(&bar));
    EXPECT_TRUE(bar.SecondArrow()->isEnabled());
    EXPECT_EQ(changes.count(), 1);
    image = Render(bar);
    EXPECT_EQ(Pixel(image, 6, 6), 0x404040u);
    EXPECT_EQ(Pixel(image, 13, 10), kLime);

    EXPECT_FALSE(bar.SetRange(5, 3));
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Length(), 50);
    EXPECT_TRUE(bar.SetRange(3, 3));
    EXPECT_FALSE(bar.Thumb()->isVisibleTo(&bar));
}

TEST(ScrollBarRange, RandomSequencesKeepTheInvariants) {
    TmyScrollBar bar;
    std::mt19937 random(740);
    std::uniform_int_distribution<int> op(0, 5), value(-30, 130);
    for (int i = 0; i < 2000; ++i) {
        const int v = value(random);
        switch (op(random)) {
        case 0:
            bar.SetMin(v);
            break;
        case 1:
            bar.SetMax(v);
            break;
        case 2:
            bar.SetLength(v);
            break;
        case 3:
            bar.SetPos(v);
            break;
        case 4:
            bar.SetDelta(v - 50);
            break;
        case 5:
            bar.SetRange(v, v + value(random) / 2);
            break;
        }
        ExpectInvariants(bar);
        if (testing::Test::HasFailure()) FAIL() << "after step " << i;
    }
    // Extreme ranges neither overflow nor break the invariants.
    constexpr auto lo = std::numeric_limits<std::int64_t>::min();
    constexpr auto hi = std::numeric_limits<std::int64_t>::max();
    ASSERT_TRUE(bar.SetRange(lo / 2, hi / 2));
    bar.SetLength(hi / 4);
    bar.SetDelta(hi);
    ExpectInvariants(bar);
    EXPECT_EQ(bar.Position() + bar.Length(), bar.Max());
    bar.SetDelta(lo);
    EXPECT_EQ(bar.Position(), bar.Min());
}

TEST(ScrollBarRange, PositionChangeAfterEveryThumbLayout) {
    TmyScrollBar bar;
    bar.show();
    QSignalSpy changes(&bar, &TmyScrollBar::OnPositionChange);
    bar.SetPos(10);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).value<TmyScrollBar *>(), &bar);
    bar.SetPos(10);
    EXPECT_EQ(changes.count(), 1);
    bar.resize(300, 20);
    EXPECT_EQ(changes.count(), 2);
    bar.SetMax(200);
    EXPECT_EQ(changes.count(), 3);
    bar.SetMax(200);
    bar.SetMin(0);
    bar.SetLength(20);
    EXPECT_EQ(changes.count(), 3);
}

TEST(ScrollBarMouse, ArrowsStepAndTrackPages) {
    TmyScrollBar bar;
    SetUpListBar(bar, 200);
    bar.SetPos(40);
    QTest::mousePress(bar.SecondArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(bar.Position(), 43); // 20 div 10 + 1
    QTest::mouseRelease(bar.SecondArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(bar.FirstArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(bar.Position(), 40);

    const QRect thumb = bar.Thumb()->geometry();
    ClickTrack(bar, QPoint(7, thumb.bottom() + 5));
    EXPECT_EQ(bar.Position(), 61);
    ClickTrack(bar, QPoint(7, bar.Thumb()->y() - 3), Qt::RightButton);
    EXPECT_EQ(bar.Position(), 40);
    // Presses on the track's long edges are ignored.
    ClickTrack(bar, QPoint(1, 190 - 20));
    ClickTrack(bar, QPoint(14, 190 - 20));
    EXPECT_EQ(bar.Position(), 40);
    ClickTrack(bar, QPoint(13, 190 - 20), Qt::MiddleButton);
    EXPECT_EQ(bar.Position(), 61);
    ClickTrack(bar, QPoint(7, 190 - 20));
    EXPECT_EQ(bar.Position(), 80);
}

TEST(ScrollBarMouse, ThumbDragFollowsThePointer) {
    TmyScrollBar bar;
    SetUpListBar(bar, 200);
    bar.show();
    bar.SetPos(40);
    TstSpeedButton &thumb = *bar.Thumb();
    // Track 172 pixels, thumb 172 * 60 / 100 - 172 * 40 / 100 = 35 pixels.
    ASSERT_EQ(thumb.height(), 35);
    const QPoint grab(7, thumb.y() + 3);
    SendMouse(thumb, QEvent::MouseMove, grab, Qt::NoButton, Qt::NoButton);
    SendMouse(thumb, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(bar.ThumbHeld());
    SendMouse(thumb, QEvent::MouseMove, grab + QPoint(0, 10), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar.Position(), 40 + 10 * 80 / (172 - 35));
    // The list scrolling along does not fight the thumb.
    bar.SetPosition(0);
    EXPECT_EQ(bar.Position(), 45);
    // Far away, even outside the thumb, it still follows, and keeps its look.
    SendMouse(thumb, QEvent::MouseMove, QPoint(30, 400), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar.Position(), 80);
    EXPECT_EQ(thumb.State(), TstSpeedButton::bsDown);
    SendMouse(thumb, QEvent::MouseMove, QPoint(30, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar.Position(), 0);
    SendMouse(thumb, QEvent::MouseButtonRelease, QPoint(30, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(bar.ThumbHeld());
    bar.SetPosition(30);
    EXPECT_EQ(bar.Position(), 30);

    // The thumb vanishing under the pointer ends the hold.
    SendMouse(thumb, QEvent::MouseButtonPress, QPoint(7, thumb.y() + 1), Qt::LeftButton,
              Qt::LeftButton);
    ASSERT_TRUE(bar.ThumbHeld());
    bar.SetLength(100);
    EXPECT_FALSE(bar.ThumbHeld());
    bar.SetLength(20);
    bar.SetPosition(10);
    EXPECT_EQ(bar.Position(), 10);
}

TEST(ScrollBarMouse, DragWithoutRoomIsIgnored) {
    TmyScrollBar bar;
    SetUpListBar(bar, 40); // track 12 pixels, thumb at its minimum of 12
    ASSERT_EQ(bar.Thumb()->height(), 12);
    TstSpeedButton &thumb = *bar.Thumb();
    const QPoint grab(7, thumb.y() + 3);
    SendMouse(thumb, QEvent::MouseMove, grab, Qt::NoButton, Qt::NoButton);
    SendMouse(thumb, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    SendMouse(thumb, QEvent::MouseMove, grab + QPoint(0, 5), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar.Position(), 0);
    SendMouse(thumb, QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);
    // Even narrower: the arrows overlap and the track is negative.
    bar.resize(15, 20);
    bar.SetPos(50);
    SendMouse(thumb, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    SendMouse(thumb, QEvent::MouseMove, grab + QPoint(0, 5), Qt::NoButton, Qt::LeftButton);
    SendMouse(thumb, QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bar.Position(), 50);
}

} // namespace
