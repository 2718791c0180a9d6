#include "controls/stspeedbutton.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::Pixel;
using testsupport::Render;

constexpr QRgb kLime = 0x00FF00;
constexpr QRgb kFace = 0x636363; // 6513507

QRgb Grey(int v) {
    return QRgb(v << 16 | v << 8 | v);
}

// A title bar button as the window frame sets it up.
void SetUpTitleButton(TstSpeedButton &b, TSTButtonKind kind, const QFont &font) {
    b.setGeometry(0, 1, 14, 14);
    b.SetKind(kind);
    b.SetColor(6513507);
    b.SetColorDown(6513507);
    b.SetColorDisabled(SysColor::clBtnFace);
    b.SetBorderColor(SysColor::clCaptionText);
    b.SetFontColor(clLime);
    b.SetFontColorDown(clLime);
    b.SetFontColorDisabled(SysColor::clWindowText);
    b.setFont(font);
}

QFont PixelFont(const QString &family, int pixels, bool bold) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A dialog button: grey face, dark border, lime caption.
void SetUpDialogButton(TstSpeedButton &b, const QString &caption) {
    b.resize(75, 25);
    b.SetColor(6513507);
    b.SetColorDown(6513507);
    b.SetColorDisabled(6513507);
    b.SetBorderWidth(1);
    b.SetBorderColor(3158064);
    b.SetFontColor(clLime);
    b.SetFontColorDown(clLime);
    b.SetFontColorDisabled(clGray);
    b.setFont(PixelFont("Arial", 11, false));
    b.SetCaption(caption);
}

// Compares a region of the image with a picture: '#' is `on`, '.' is `off`.
void ExpectPicture(const QImage &image, int left, int top, const std::vector<std::string> &rows,
                   QRgb on, QRgb off, const char *what) {
    for (int y = 0; y < int(rows.size()); ++y)
        for (int x = 0; x < int(rows[y].size()); ++x)
            EXPECT_EQ(Pixel(image, left + x, top + y), rows[y][x] == '#' ? on : off)
                << what << " at " << left + x << "," << top + y;
}

// Bounding box of the pixels of `region` that differ from `background`.
QRect InkBox(const QImage &image, const QRect &region, QRgb background) {
    QRect box;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (Pixel(image, x, y) != background) box |= QRect(x, y, 1, 1);
    return box;
}

void Move(QWidget &w, QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton) {
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), QPointF(w.mapToGlobal(pos)), Qt::NoButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

const std::vector<std::string> kCross = {
    "##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.", "##....##",
};

TEST(SpeedButtonPaint, CloseCrossOfATitleBarButton) {
    TstSpeedButton b;
    SetUpTitleButton(b, stbkCloseCross, PixelFont("Arial Black", 11, true));
    const QImage up = Render(b);
    // The 11-pixel font limits the glyph to 8 pixels, centred at 3, 3.
    ExpectPicture(up, 3, 3, kCross, kLime, kFace, "cross");
    for (int i = 2; i < 12; ++i) {
        EXPECT_EQ(Pixel(up, i, 2), kFace) << i;
        EXPECT_EQ(Pixel(up, i, 10), kFace) << i;
        EXPECT_EQ(Pixel(up, 2, i), kFace) << i;
        EXPECT_EQ(Pixel(up, 11, i), kFace) << i;
    }
    // Raised bevel of two rings: lighter upper-left, darker lower-right.
    EXPECT_EQ(Pixel(up, 0, 5), Grey(134));
    EXPECT_EQ(Pixel(up, 5, 0), Grey(134));
    EXPECT_EQ(Pixel(up, 1, 5), Grey(116));
    EXPECT_EQ(Pixel(up, 5, 13), Grey(63));
    EXPECT_EQ(Pixel(up, 13, 5), Grey(63));
    EXPECT_EQ(Pixel(up, 5, 12), Grey(81));
    EXPECT_EQ(Pixel(up, 12, 5), Grey(81));
    EXPECT_EQ(Pixel(up, 0, 13), Grey(63)); // the lower-right line starts at the left edge
    EXPECT_EQ(Pixel(up, 13, 0), Grey(134));

    // Pressed: the glyph moves by one pixel, the bevel sinks and its
    // lower-right edge takes one soft shade for both rings.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(7, 7));
    const QImage down = Render(b);
    ExpectPicture(down, 4, 4, kCross, kLime, kFace, "pressed cross");
    EXPECT_EQ(Pixel(down, 3, 3), kFace);
    EXPECT_EQ(Pixel(down, 0, 5), Grey(63));
    EXPECT_EQ(Pixel(down, 1, 5), Grey(81));
    EXPECT_EQ(Pixel(down, 5, 13), Grey(93));
    EXPECT_EQ(Pixel(down, 5, 12), Grey(93));
    EXPECT_EQ(Pixel(down, 13, 5), Grey(93));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(7, 7));
    EXPECT_EQ(Render(b), up);
}

TEST(SpeedButtonPaint, MinimizeBarOfTheMainWindow) {
    TstSpeedButton b;
    SetUpTitleButton(b, stbkMinimizeLine, PixelFont("Arial", 16, true));
    const QImage image = Render(b);
    // The glyph box is the full 10 pixels: a bar at rows 8 and 9, columns 5..9.
    ExpectPicture(image, 2, 2,
                  {"..........", "..........", "..........", "..........", "..........",
                   "..........", "...#####..", "...#####..", "..........", ".........."},
                  kLime, kFace, "minimise");
}

TEST(SpeedButtonPaint, EveryGlyphKind) {
    struct Case {
        TSTButtonKind kind;
        std::vector<std::string> rows;
    };
    // 10 by 8 pixels, no bevel, glyph of 8 pixels at 1, 0.
    const std::vector<Case> cases = {
        {stbkLeftArrow,
         {".......##.", ".....####.", "...######.", ".########.", ".########.", "...######.",
          ".....####.", ".......##."}},
        {stbkRightArrow,
         {".##.......", ".####.....", ".######...", ".########.", ".########.", ".######...",
          ".####.....", ".##......."}},
        {stbkUpArrow,
         {"..........", "..........", "....##....", "...####...", "..######..", ".########.",
          "..........", ".........."}},
        {stbkDownArrow,
         {"..........", "..........", ".########.", "..######..", "...####...", "....##....",
          "..........", ".........."}},
        {stbkStop,
         {".########.", ".########.", ".########.", ".########.", ".########.", ".########.",
          ".########.", ".########."}},
        {stbkPause,
         {".##...###.", ".##...###.", ".##...###.", ".##...###.", ".##...###.", ".##...###.",
          ".##...###.", ".##...###."}},
        {stbkFastForward,
         {".#...#....", ".##..##...", ".###.###..", ".########.", ".########.", ".###.###..",
          ".##..##...", ".#...#...."}},
        {stbkRewind,
         {".....#..#.", "....##.##.", "...######.", "..#######.", "..#######.", "...######.",
          "....##.##.", ".....#..#."}},
        {stbkShortLeftArrow,
         {".........#", "........##", ".......###", "......####", "......####", ".......###",
          "........##", ".........#"}},
        {stbkShortRightArrow,
         {".#........", ".##.......", ".###......", ".####.....", ".####.....", ".###......",
          ".##.......", ".#........"}},
    };
    for (const Case &c : cases) {
        TstSpeedButton b;
        b.resize(10, 8);
        b.SetBevelWidth(0);
        b.SetKindPercent(100);
        b.SetColor(clBlack);
        b.SetFontColor(clWhite);
        b.SetKind(c.kind);
        ExpectPicture(Render(b), 0, 0, c.rows, 0xFFFFFF, 0, std::to_string(c.kind).c_str());
    }
}

TEST(SpeedButtonPaint, GlyphSizeAndPlacement) {
    TstSpeedButton b;
    b.resize(20, 12);
    b.SetBevelWidth(1);
    b.SetColor(clBlack);
    b.SetFontColor(clWhite);
    b.SetKind(stbkStop);
    b.SetKindPercent(50); // (12 - 2) * 50 / 100 = 5
    b.SetAlignKind(TAlignment::taLeftJustify);
    b.SetIndent(2);
    EXPECT_EQ(InkBox(Render(b), QRect(1, 1, 18, 10), 0), QRect(3, 4, 5, 5));
    b.SetAlignKind(TAlignment::taRightJustify);
    b.SetLayout(TTextLayout::tlBottom);
    EXPECT_EQ(InkBox(Render(b), QRect(1, 1, 18, 10), 0), QRect(20 - 5 - 1 - 2, 12 - 5 - 1, 5, 5));
    // Hidden glyphs paint nothing.
    b.SetShowKind(false);
    EXPECT_TRUE(InkBox(Render(b), QRect(1, 1, 18, 10), 0).isEmpty());
}

TEST(SpeedButtonPaint, CaptionBesideTheGlyph) {
    TstSpeedButton b;
    b.resize(60, 20);
    b.SetColor(clBlack);
    b.SetColorDown(clBlack);
    b.SetFontColor(clWhite);
    b.SetFontColorDown(clWhite);
    b.setFont(PixelFont("Arial", 11, false)); // 8 points: an 8-pixel glyph
    b.SetKind(stbkStop);
    b.SetAlignKind(TAlignment::taLeftJustify);
    b.SetAlignment(TAlignment::taRightJustify);
    b.SetCaption("Go");
    const QImage up = Render(b);
    EXPECT_EQ(InkBox(up, QRect(2, 2, 8, 16), 0), QRect(2, 6, 8, 8));
    // The caption starts where the glyph ends, centred vertically.
    const QRect text = InkBox(up, QRect(10, 2, 48, 16), 0);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_LE(text.left(), 12);
    EXPECT_NEAR(text.center().y(), 10, 2);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    const QImage down = Render(b);
    EXPECT_EQ(InkBox(down, QRect(2, 2, 9, 16), 0), QRect(3, 7, 8, 8));
    // The caption follows the moved glyph and moves by one pixel more.
    EXPECT_EQ(InkBox(down, QRect(11, 2, 47, 16), 0), text.translated(2, 1));
}

TEST(SpeedButtonPaint, BorderBevelAndStates) {
    TstSpeedButton b;
    SetUpDialogButton(b, "OK");
    b.SetColorDisabled(RGBColor(32, 32, 32));
    const QImage up = Render(b);
    EXPECT_EQ(Pixel(up, 0, 0), Grey(48));
    EXPECT_EQ(Pixel(up, 74, 24), Grey(48));
    EXPECT_EQ(Pixel(up, 40, 0), Grey(48));
    EXPECT_EQ(Pixel(up, 1, 10), Grey(134));
    EXPECT_EQ(Pixel(up, 2, 10), Grey(116));
    EXPECT_EQ(Pixel(up, 10, 23), Grey(63));
    EXPECT_EQ(Pixel(up, 10, 22), Grey(81));
    EXPECT_EQ(Pixel(up, 73, 10), Grey(63));
    EXPECT_EQ(Pixel(up, 5, 5), kFace);
    // The caption is lime (antialiased) and centred.
    const QRect inner(3, 3, 69, 19);
    const QRect ink = InkBox(up, inner, kFace);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 37, 2);
    EXPECT_NEAR(ink.center().y(), 12, 2);
    bool lime = false;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            lime |= qGreen(Pixel(up, x, y)) > 0xF0 && qRed(Pixel(up, x, y)) < 0x10;
    EXPECT_TRUE(lime);

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(30, 10));
    const QImage down = Render(b);
    EXPECT_EQ(Pixel(down, 0, 0), Grey(48));
    EXPECT_EQ(Pixel(down, 1, 10), Grey(63));
    EXPECT_EQ(Pixel(down, 2, 10), Grey(81));
    EXPECT_EQ(Pixel(down, 10, 23), Grey(93));
    EXPECT_EQ(Pixel(down, 10, 22), Grey(93));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(30, 10));

    b.setEnabled(false);
    const QImage disabled = Render(b);
    EXPECT_EQ(b.State(), TstSpeedButton::bsDisabled);
    EXPECT_EQ(Pixel(disabled, 5, 5), Grey(32));
    EXPECT_EQ(Pixel(disabled, 0, 0), Grey(48));
    EXPECT_EQ(InkBox(disabled, inner, Grey(32)).isEmpty(), false);
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            EXPECT_LT(qGreen(Pixel(disabled, x, y)), 0xC1);
    b.setEnabled(true);
    EXPECT_EQ(Render(b), up);
}

TEST(SpeedButtonPaint, PressedCaptionMovesByTheBevel) {
    TstSpeedButton b;
    SetUpDialogButton(b, "Open");
    b.SetAlignment(TAlignment::taLeftJustify);
    b.SetLayout(TTextLayout::tlTop);
    const QRect inner(3, 3, 69, 19);
    const QRect up = InkBox(Render(b), inner, kFace);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(30, 10));
    const QRect down = InkBox(Render(b), inner, kFace);
    EXPECT_EQ(down, up.translated(2, 1));
}

TEST(SpeedButtonPaint, EffectiveBevelAndClampedProperties) {
    TstSpeedButton b;
    EXPECT_EQ(b.size(), QSize(22, 23));
    b.resize(30, 6);
    b.SetBorderWidth(2);
    EXPECT_EQ(b.AdjustBevel(), 1);
    b.SetColor(RGBColor(100, 100, 100));
    b.SetBorderColor(clBlack);
    const QImage image = Render(b);
    // Border rows 0, 1 and 4, 5; between them one ring of full contrast.
    EXPECT_EQ(Pixel(image, 10, 1), 0u);
    EXPECT_EQ(Pixel(image, 10, 2), Grey(135));
    EXPECT_EQ(Pixel(image, 10, 3), Grey(64));
    EXPECT_EQ(Pixel(image, 10, 4), 0u);
    b.SetKindPercent(150);
    EXPECT_EQ(b.KindPercent(), 100);
    b.SetShadowOffset(400);
    EXPECT_EQ(b.ShadowOffset(), 360);
    b.SetShadowOffset(-1);
    EXPECT_EQ(b.ShadowOffset(), 0);
    b.SetBorderWidth(-3);
    EXPECT_EQ(b.BorderWidth(), 0);
    b.SetBevelWidth(-3);
    EXPECT_EQ(b.BevelWidth(), 0);
}

TEST(SpeedButtonPaint, BitmapIsTransparentInItsBottomLeftColour) {
    TstSpeedButton b;
    b.resize(10, 10);
    b.SetColor(clBlack);
    b.SetBevelWidth(0);
    b.SetKind(stbkStop); // the picture wins over glyph and caption
    b.SetCaption("X");
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.setPixel(1, 1, qRgb(0, 0, 255));
    b.SetBitmap(picture);
    const QImage image = Render(b);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(Pixel(image, x, y), x == 4 && y == 4 ? 0x0000FFu : 0u) << x << "," << y;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

TEST(SpeedButtonPaint, SettersRepaintOnlyWhatShows) {
    QWidget window;
    window.resize(100, 50);
    TstSpeedButton b(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    PaintCounter paints(&b);
    auto painted = [&](auto change) {
        paints.count = 0;
        change();
        QApplication::processEvents();
        return paints.count > 0;
    };
    EXPECT_TRUE(painted([&] { b.SetColor(clRed); }));
    EXPECT_FALSE(painted([&] { b.SetColor(clRed); }));
    EXPECT_FALSE(painted([&] { b.SetColorDown(clBlue); }));
    EXPECT_FALSE(painted([&] { b.SetFontColorDown(clBlue); }));
    EXPECT_FALSE(painted([&] { b.SetColorDisabled(clBlue); }));
    EXPECT_FALSE(painted([&] { b.SetGroupIndex(3); }));
    EXPECT_FALSE(painted([&] { b.SetAllowAllUp(true); }));
    EXPECT_TRUE(painted([&] { b.SetCaption("A"); }));
    EXPECT_TRUE(painted([&] { b.setFont(PixelFont("Arial", 20, false)); }));
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(painted([&] { b.SetColorDown(clYellow); }));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(3, 3));
    // Enabling repaints at once, without the event loop.
    paints.count = 0;
    b.setEnabled(false);
    EXPECT_GT(paints.count, 0);
    EXPECT_TRUE(painted([&] { b.SetFontColorDisabled(clRed); }));
    EXPECT_EQ(Pixel(Render(b), 2, 2), 0x0000FFu);
}

TEST(SpeedButtonMouse, ClickFiresOnReleaseInsideOnly) {
    TstSpeedButton b;
    QSignalSpy clicks(&b, &TstSpeedButton::OnClick);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b.State(), TstSpeedButton::bsDown);
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(b.State(), TstSpeedButton::bsUp);

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    Move(b, QPoint(40, 5));
    EXPECT_EQ(b.State(), TstSpeedButton::bsUp);
    Move(b, QPoint(21, 23)); // the bottom edge counts as inside
    EXPECT_EQ(b.State(), TstSpeedButton::bsDown);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(b.State(), TstSpeedButton::bsUp);
    // Straight to a release outside, without a move in between.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(-1, 5));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(b.State(), TstSpeedButton::bsUp);

    // Other buttons do not press it.
    QTest::mouseClick(&b, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    // A disabled button ignores the mouse.
    b.setEnabled(false);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(SpeedButtonMouse, KeepMouseStaysPressedOutside) {
    TstSpeedButton b;
    b.SetKeepMouse(true);
    QSignalSpy clicks(&b, &TstSpeedButton::OnClick);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    Move(b, QPoint(100, 100));
    EXPECT_EQ(b.State(), TstSpeedButton::bsDown);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(b.State(), TstSpeedButton::bsUp);
    EXPECT_EQ(clicks.count(), 0);
}

TEST(SpeedButtonMouse, AutoRepeatAfterTheDelayWhileOverTheButton) {
    TstSpeedButton b;
    std::int64_t now = 1000;
    b.SetClock([&] { return now; });
    b.SetSpeed(20);
    QTimer *timer = b.findChild<QTimer *>("RepeatTimer");
    ASSERT_NE(timer, nullptr);
    QSignalSpy repeats(&b, &TstSpeedButton::OnAutoRepeat);

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(repeats.count(), 1);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 20);
    QTest::qWait(100); // several ticks, all before the delay
    EXPECT_EQ(repeats.count(), 1);

    now += 500;
    QTRY_COMPARE_WITH_TIMEOUT(repeats.count(), 2, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(repeats.count() >= 4, 5000);

    Move(b, QPoint(50, 5));
    const int atLeave = int(repeats.count());
    QTest::qWait(100);
    EXPECT_EQ(repeats.count(), atLeave);
    Move(b, QPoint(5, 5));
    QTRY_VERIFY_WITH_TIMEOUT(repeats.count() > atLeave, 5000);

    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(timer->isActive());
    const int atRelease = int(repeats.count());
    QTest::qWait(60);
    EXPECT_EQ(repeats.count(), atRelease);
}

TEST(SpeedButtonMouse, HidingOrDisablingDropsAPress) {
    QWidget parent;
    TstSpeedButton b(&parent);
    QTimer *timer = b.findChild<QTimer *>("RepeatTimer");
    parent.show();
    QSignalSpy clicks(&b, &TstSpeedButton::OnClick);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    b.hide();
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(b.State(), TstSpeedButton::bsUp);
    b.show();
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    b.setEnabled(false);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(clicks.count(), 0);
}

TEST(SpeedButtonMouse, FirstRepeatWaitsForTheDelay) {
    TstSpeedButton b;
    std::int64_t now = 0;
    b.SetClock([&] { return now; });
    b.SetSpeed(10);
    b.SetDelay(300);
    QSignalSpy repeats(&b, &TstSpeedButton::OnAutoRepeat);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    now = 299;
    QTest::qWait(50);
    EXPECT_EQ(repeats.count(), 1);
    now = 300;
    QTRY_COMPARE_WITH_TIMEOUT(repeats.count(), 2, 5000);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST(SpeedButtonGroup, ExclusiveTogglesAmongSiblings) {
    QWidget parent;
    TstSpeedButton a(&parent), b(&parent), c(&parent), other(&parent);
    for (TstSpeedButton *x : {&a, &b, &c})
        x->SetGroupIndex(1);
    other.SetGroupIndex(2);
    other.SetDown(true);
    QSignalSpy clicks(&a, &TstSpeedButton::OnClick);

    QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(a.Down());
    EXPECT_EQ(a.State(), TstSpeedButton::bsExclusive);
    EXPECT_EQ(clicks.count(), 1);
    // The last down button of the group stays down.
    QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(a.Down());
    EXPECT_EQ(clicks.count(), 2);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    EXPECT_EQ(a.State(), TstSpeedButton::bsUp);
    EXPECT_FALSE(c.Down());
    EXPECT_TRUE(other.Down()); // another group

    // A release outside leaves the toggle as it was.
    QTest::mousePress(&c, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(50, 5));
    EXPECT_FALSE(c.Down());
    EXPECT_EQ(c.State(), TstSpeedButton::bsUp);
    EXPECT_TRUE(b.Down());

    // AllowAllUp is shared by the group and lets the last one go up.
    a.SetAllowAllUp(true);
    EXPECT_TRUE(b.AllowAllUp());
    EXPECT_TRUE(c.AllowAllUp());
    EXPECT_FALSE(other.AllowAllUp());
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(b.State(), TstSpeedButton::bsUp);

    c.SetDown(true);
    EXPECT_TRUE(c.Down());
    a.SetDown(true);
    EXPECT_FALSE(c.Down());
}

TEST(SpeedButtonGroup, DownNeedsAGroup) {
    TstSpeedButton b;
    b.SetDown(true);
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(b.State(), TstSpeedButton::bsUp);
    // Double-clicks are reported only for a down button.
    QWidget parent;
    TstSpeedButton g(&parent);
    QSignalSpy doubles(&g, &TstSpeedButton::OnDblClick);
    QTest::mouseDClick(&g, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubles.count(), 0);
    g.SetGroupIndex(1);
    g.SetDown(true);
    QTest::mouseDClick(&g, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubles.count(), 1);
}

TEST(SpeedButtonGroup, DisabledDownButtonPaintsSunkenAndComesBackExclusive) {
    QWidget parent;
    TstSpeedButton b(&parent);
    b.resize(20, 20);
    b.SetColor(RGBColor(100, 100, 100));
    b.SetColorDown(RGBColor(100, 100, 100));
    b.SetColorDisabled(RGBColor(100, 100, 100));
    b.SetGroupIndex(1);
    b.SetDown(true);
    const QImage down = Render(b);
    b.setEnabled(false);
    const QImage disabled = Render(b);
    EXPECT_EQ(Pixel(disabled, 0, 10), Pixel(down, 0, 10));
    EXPECT_EQ(Pixel(disabled, 19, 10), Pixel(down, 19, 10));
    b.setEnabled(true);
    Render(b);
    EXPECT_EQ(b.State(), TstSpeedButton::bsExclusive);
}

TEST(SpeedButtonKeys, AcceleratorLetterClicks) {
    QWidget window;
    window.resize(100, 60);
    TstSpeedButton b(&window);
    b.SetCaption("&Open");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicks(&b, &TstSpeedButton::OnClick);
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    b.setEnabled(false);
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    b.setEnabled(true);
    b.SetCaption("&Save");
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 2);
}

} // namespace
