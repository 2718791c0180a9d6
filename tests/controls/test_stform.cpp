#include "controls/stform.h"
#include "support/testsupport.h"

#include <QTimer>
#include <QWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using testsupport::Pixel;
using testsupport::Render;

namespace {

QRgb Rgb(TColor c) {
    return ColorToQColor(c).rgb() & 0xFFFFFF;
}

bool WaitFor(const std::function<bool()> &condition) {
    for (int waited = 0; !condition() && waited < 5000; waited += 10)
        QTest::qWait(10);
    return condition();
}

struct Dialog : TstForm {
    Dialog() : TstForm(QStringLiteral("Add frequency")) { SetSize(300, 200); }
    bool allowClose = true;
    int queries = 0;
    bool CloseQuery() override {
        ++queries;
        return allowClose;
    }
};

TEST(Frame, DialogSkeleton) {
    Dialog form;
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.Color(), TColor(4342338));
    EXPECT_EQ(form.ClientPanel->geometry(), QRect(0, 0, 300, 200));
    EXPECT_EQ(form.ClientPanel->BevelStyle(), TBevelStyle::bsGradientOuter);
    EXPECT_EQ(form.ClientPanel->BevelWidth(), 3);
    EXPECT_TRUE(form.ClientPanel->Abbreviate());
    EXPECT_EQ(form.ClientPanel->Color(), TColor(4342338));
    EXPECT_EQ(form.TopPanel->geometry(), QRect(3, 3, 294, 18));
    EXPECT_EQ(form.TopPanel->BevelStyle(), TBevelStyle::bsGradientInner);
    EXPECT_EQ(form.TopPanel->BevelWidth(), 1);
    EXPECT_EQ(form.TopPanel->Color(), TColor(10043437));
    EXPECT_EQ(form.LCaption->pos(), QPoint(5, 3));
    EXPECT_EQ(form.LCaption->height(), 14);
    EXPECT_EQ(form.LCaption->font().pixelSize(), 11);
    EXPECT_TRUE(form.LCaption->font().bold());
    EXPECT_EQ(form.ButtonPanel->geometry(), QRect(294 - 1 - 15, 1, 15, 16));
    EXPECT_EQ(form.ButtonPanel->BevelWidth(), 0);
    EXPECT_EQ(form.SysBtnClose->geometry(), QRect(0, 1, 14, 14));
    EXPECT_EQ(form.SysBtnClose->Kind(), stbkCloseCross);
    EXPECT_EQ(form.SysBtnClose->Color(), TColor(6513507));
    EXPECT_EQ(form.SysBtnClose->ColorDown(), TColor(6513507));
    EXPECT_EQ(form.SysBtnClose->ColorDisabled(), SysColor::clBtnFace);
    EXPECT_EQ(form.SysBtnClose->FontColor(), clLime);
    EXPECT_EQ(form.SysBtnClose->FontColorDisabled(), SysColor::clWindowText);

    form.resize(400, 100); // the frame follows the window's size
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.TopPanel->geometry(), QRect(3, 3, 394, 18));
    EXPECT_EQ(form.ButtonPanel->geometry(), QRect(394 - 1 - 15, 1, 15, 16));
}

TEST(Frame, CaptionCopy) {
    Dialog form;
    EXPECT_EQ(form.windowTitle(), QString("Add frequency"));
    EXPECT_EQ(form.LCaption->Caption(), QString("Add frequency"));
    EXPECT_GT(form.LCaption->width(), 40); // sized to its text
}

TEST(Frame, MainWindowVariant) {
    TstForm form(QStringLiteral("S-Meter Calibrator for ZX-K740"), TFrameKind::fkMainWindow);
    form.SetSize(496, 296);
    EXPECT_EQ(form.ClientPanel->objectName(), QString("stPanel1"));
    EXPECT_EQ(form.ClientPanel->BevelWidth(), 4);
    EXPECT_FALSE(form.ClientPanel->Abbreviate());
    EXPECT_EQ(form.TopPanel->objectName(), QString("Panel"));
    EXPECT_EQ(form.TopPanel->geometry(), QRect(4, 4, 488, 18));
    EXPECT_EQ(form.LCaption->geometry(), QRect(5, 3, 388, 14));
    form.LCaption->SetCaption("S-Meter Calibrator for ZX-K740 [a.cal]");
    EXPECT_EQ(form.LCaption->width(), 388);
    EXPECT_EQ(form.ButtonPanel->geometry(), QRect(488 - 1 - 92, 1, 92, 16));
    EXPECT_EQ(form.SysBtnClose, nullptr);
    TstSpeedButton *about = form.AddTitleButton(29, 29);
    EXPECT_EQ(about->parentWidget(), form.ButtonPanel);
    EXPECT_EQ(about->geometry(), QRect(29, 1, 29, 14));
    EXPECT_EQ(about->Color(), TColor(6513507));
    EXPECT_EQ(about->FontColor(), clLime);
}

TEST(Frame, ClientOnlyHasNoTitleBar) {
    TstForm form(QStringLiteral("Searching"), TFrameKind::fkClientOnly);
    form.SetSize(300, 40);
    EXPECT_EQ(form.TopPanel, nullptr);
    EXPECT_EQ(form.ClientPanel->geometry(), QRect(0, 0, 300, 40));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
}

TEST(Frame, ActivationColours) {
    Dialog first;
    first.show();
    ASSERT_TRUE(WaitFor([&] { return first.isActiveWindow(); }));
    EXPECT_TRUE(first.ShowsActive());
    QImage image = Render(first);
    EXPECT_EQ(Pixel(image, 150, 12), Rgb(10043437)); // title bar
    EXPECT_EQ(Pixel(image, first.ButtonPanel->mapTo(&first, QPoint(14, 8)).x(), 12),
              Rgb(10043437)); // button panel
    EXPECT_EQ(FontColor(first.LCaption), ColorToQColor(16777215));

    Dialog second;
    second.move(50, 50);
    second.show();
    ASSERT_TRUE(WaitFor([&] { return second.isActiveWindow() && !first.isActiveWindow(); }));
    EXPECT_FALSE(first.ShowsActive());
    image = Render(first);
    EXPECT_EQ(Pixel(image, 150, 12), Rgb(5395026));
    EXPECT_EQ(Pixel(image, first.ButtonPanel->mapTo(&first, QPoint(14, 8)).x(), 12), Rgb(5395026));
    EXPECT_EQ(FontColor(first.LCaption), ColorToQColor(12632256));
    EXPECT_EQ(Pixel(image, 1, 100), Pixel(Render(second), 1, 100)); // the client panel stays

    first.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return first.ShowsActive(); }));
    EXPECT_FALSE(second.ShowsActive());
}

TEST(Frame, WindowOpeningBehindShowsInactiveColours) {
    Dialog front;
    front.show();
    ASSERT_TRUE(WaitFor([&] { return front.isActiveWindow(); }));
    Dialog behind;
    // The offscreen platform activates every window it shows but a tool tip.
    behind.setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    behind.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&behind));
    QTest::qWait(20);
    EXPECT_TRUE(front.isActiveWindow());
    EXPECT_FALSE(behind.isActiveWindow());
    EXPECT_EQ(QApplication::activeWindow(), &front);
    EXPECT_FALSE(behind.ShowsActive());
    EXPECT_EQ(Pixel(Render(behind), 150, 12), Rgb(5395026));
}

struct ShownDialog : Dialog {
    ShownDialog() {
        move(100, 100);
        show();
    }
    QWindow *Window() { return windowHandle(); }
    QPoint Caption() { return LCaption->mapTo(this, QPoint(10, 7)); }
};

TEST(Frame, DraggingTheCaptionTextMovesTheWindow) {
    ShownDialog form;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint start = form.pos();
    const QPoint press = form.Caption();
    QTest::mousePress(form.Window(), Qt::LeftButton, {}, press);
    QTest::mouseMove(form.Window(), press + QPoint(30, 20));
    ASSERT_TRUE(WaitFor([&] { return form.pos() == start + QPoint(30, 20); }));
    QTest::mouseRelease(form.Window(), Qt::LeftButton, {}, press + QPoint(30, 20));
    const QPoint moved = form.pos();
    QTest::mouseMove(form.Window(), press + QPoint(60, 60)); // released: no more moving
    QTest::qWait(20);
    EXPECT_EQ(form.pos(), moved);
}

TEST(Frame, TitleBarBesideTheCaptionMovesToo) {
    ShownDialog form;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint start = form.pos();
    const QPoint press = form.TopPanel->mapTo(&form, QPoint(200, 9));
    QTest::mousePress(form.Window(), Qt::LeftButton, {}, press);
    QTest::mouseMove(form.Window(), press + QPoint(-15, 5));
    ASSERT_TRUE(WaitFor([&] { return form.pos() == start + QPoint(-15, 5); }));
    QTest::mouseRelease(form.Window(), Qt::LeftButton, {}, press + QPoint(-15, 5));
}

TEST(Frame, ButtonPanelAndOtherButtonsDoNotDrag) {
    ShownDialog form;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint start = form.pos();
    for (const QPoint spot : {QPoint(14, 8), QPoint(5, 0), QPoint(5, 15)}) {
        const QPoint press = form.ButtonPanel->mapTo(&form, spot);
        QTest::mousePress(form.Window(), Qt::LeftButton, {}, press);
        QTest::mouseMove(form.Window(), press + QPoint(-40, 30));
        QTest::mouseRelease(form.Window(), Qt::LeftButton, {}, press + QPoint(-40, 30));
    }
    // The right button on the title bar, and the wheel, do not move it either.
    const QPoint press = form.Caption();
    QTest::mousePress(form.Window(), Qt::RightButton, {}, press);
    QTest::mouseMove(form.Window(), press + QPoint(20, 20));
    QTest::mouseRelease(form.Window(), Qt::RightButton, {}, press + QPoint(20, 20));
    QTest::qWait(20);
    EXPECT_EQ(form.pos(), start);
    EXPECT_TRUE(form.isVisible());
}

TEST(Frame, CloseButtonEndsAModalRunAsCancelled) {
    Dialog form;
    QTimer::singleShot(0, &form, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.SysBtnClose, Qt::LeftButton, {}, QPoint(7, 7));
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.IsModalRun());
    EXPECT_EQ(form.queries, 1);
}

TEST(Frame, ModalResultEndsTheRunUnlessCloseQueryRefuses) {
    Dialog form;
    form.allowClose = false;
    QTimer::singleShot(0, &form, [&] {
        form.SetModalResult(mrOk); // refused: the run goes on
        QTimer::singleShot(0, &form, [&] {
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(form.ModalResult(), mrNone);
            form.allowClose = true;
            form.SetModalResult(mrOk);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(form.queries, 2);
    EXPECT_FALSE(form.isVisible());
}

TEST(Frame, ModalResponderAnswersTheRun) {
    Dialog form;
    bool shown = false;
    TModalResponder previous = TstForm::SetModalResponder([&](TstForm &f) {
        shown = f.isVisible() && f.IsModalRun();
        return int(mrOk);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(form.isVisible());
    // A responder that clicks the close cross gets the cancel of the window.
    TstForm::SetModalResponder([](TstForm &f) {
        f.SysBtnClose->Click();
        return int(mrOk);
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    TstForm::SetModalResponder(std::move(previous));
}

TEST(Frame, CloseButtonClosesAModelessWindow) {
    ShownDialog form;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.SysBtnClose, Qt::LeftButton, {}, QPoint(7, 7));
    EXPECT_FALSE(form.isVisible());
    form.allowClose = false;
    form.show();
    form.SysBtnCloseClick();
    EXPECT_TRUE(form.isVisible());
}

// The cross is the speed button's stbkCloseCross glyph: lime on the button
// face, limited to about 8 pixels by the 11-pixel bold font.
TEST(Frame, CloseCrossGlyph) {
    Dialog form;
    const QImage image = Render(*form.SysBtnClose);
    QRect lime;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Pixel(image, x, y) == Rgb(clLime)) lime |= QRect(x, y, 1, 1);
    ASSERT_FALSE(lime.isEmpty());
    EXPECT_LE(lime.width(), 9);
    EXPECT_GE(lime.width(), 5);
    // Both diagonals.
    EXPECT_EQ(Pixel(image, lime.left(), lime.top()), Rgb(clLime));
    EXPECT_EQ(Pixel(image, lime.right(), lime.top()), Rgb(clLime));
    EXPECT_EQ(Pixel(image, lime.left(), lime.bottom()), Rgb(clLime));
    EXPECT_EQ(Pixel(image, lime.right(), lime.bottom()), Rgb(clLime));
}

} // namespace
