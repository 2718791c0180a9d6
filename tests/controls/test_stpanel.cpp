#include "controls/stpanel.h"
#include "support/testsupport.h"

#include <QLabel>

#include <gtest/gtest.h>

using testsupport::Pixel;
using testsupport::Render;

namespace {

QRgb Grey(int v) {
    return qRgb(v, v, v) & 0xFFFFFF;
}

// A panel on a parent of the window background colour.
struct PanelOnWindow {
    QWidget window;
    TstPanel *panel;
    PanelOnWindow() {
        QPalette p = window.palette();
        p.setColor(QPalette::Window, QColor(66, 66, 66));
        window.setPalette(p);
        window.resize(200, 100);
        panel = new TstPanel(&window);
    }
};

// Ring colours of bevel 3 on RGB 66,66,66 with the default shadow offset 50:
// lightness 93 moves by 50, 33 and 17 units.
TEST(Panel, GradientOuterRings) {
    TstPanel panel;
    panel.resize(40, 30);
    panel.SetColor(RGBColor(66, 66, 66));
    panel.SetBevelStyle(TBevelStyle::bsGradientOuter);
    panel.SetBevelWidth(3);
    const QImage image = Render(panel);
    const int light[] = {101, 89, 77};
    const int dark[] = {30, 42, 53};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Pixel(image, 20, i), Grey(light[i]));
        EXPECT_EQ(Pixel(image, i, 15), Grey(light[i]));
        EXPECT_EQ(Pixel(image, i, i), Grey(light[i]));
        EXPECT_EQ(Pixel(image, 39 - i, i), Grey(light[i])); // top row runs to the corner
        EXPECT_EQ(Pixel(image, i, 29 - i), Grey(light[i])); // left column starts at the bottom
        EXPECT_EQ(Pixel(image, 39 - i, 15), Grey(dark[i]));
        EXPECT_EQ(Pixel(image, 20, 29 - i), Grey(dark[i]));
        EXPECT_EQ(Pixel(image, 39 - i, 29 - i), Grey(dark[i]));
    }
    EXPECT_EQ(Pixel(image, 3, 3), Grey(66));
    EXPECT_EQ(Pixel(image, 36, 26), Grey(66));
}

TEST(Panel, GradientInnerRings) {
    TstPanel panel;
    panel.resize(40, 30);
    panel.SetColor(RGBColor(66, 66, 66));
    panel.SetBevelStyle(TBevelStyle::bsGradientInner);
    panel.SetBevelWidth(3);
    const QImage image = Render(panel);
    const int dark[] = {53, 42, 30};
    const int light[] = {77, 89, 101};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Pixel(image, 20, i), Grey(dark[i]));
        EXPECT_EQ(Pixel(image, i, 15), Grey(dark[i]));
        EXPECT_EQ(Pixel(image, 39 - i, i), Grey(dark[i]));
        EXPECT_EQ(Pixel(image, 39 - i, 15), Grey(light[i]));
        EXPECT_EQ(Pixel(image, 20, 29 - i), Grey(light[i]));
        EXPECT_EQ(Pixel(image, 39 - i, 29 - i), Grey(light[i]));
    }
    EXPECT_EQ(Pixel(image, 20, 15), Grey(66));
}

TEST(Panel, ParentShadowTakesTheShadesFromTheParent) {
    PanelOnWindow w;
    w.panel->resize(40, 30);
    w.panel->SetColor(RGBColor(200, 0, 0));
    w.panel->SetBevelStyle(TBevelStyle::bsGradientOuter);
    w.panel->SetBevelWidth(3);
    w.panel->SetParentShadow(true);
    const QImage image = Render(*w.panel);
    EXPECT_EQ(Pixel(image, 20, 0), Grey(101));
    EXPECT_EQ(Pixel(image, 20, 29), Grey(30));
    EXPECT_EQ(Pixel(image, 20, 15), qRgb(200, 0, 0) & 0xFFFFFF);
}

// Base 99: lightness 140 gives the dark outline 90 (63) and the light 190 (134).
TEST(Panel, RoundGroove) {
    PanelOnWindow w;
    w.panel->setGeometry(0, 0, 60, 30);
    w.panel->SetColor(RGBColor(99, 99, 99));
    const QImage image = Render(*w.panel);
    EXPECT_EQ(Pixel(image, 0, 0), Grey(66));  // outside the rounded corner
    EXPECT_EQ(Pixel(image, 30, 0), Grey(63)); // dark outline outside at the top
    EXPECT_EQ(Pixel(image, 30, 1), Grey(134));
    EXPECT_EQ(Pixel(image, 0, 15), Grey(63));
    EXPECT_EQ(Pixel(image, 1, 15), Grey(134));
    EXPECT_EQ(Pixel(image, 59, 15), Grey(134)); // light outline outside at the right
    EXPECT_EQ(Pixel(image, 58, 15), Grey(63));
    EXPECT_EQ(Pixel(image, 30, 29), Grey(134));
    EXPECT_EQ(Pixel(image, 30, 28), Grey(63));
    EXPECT_EQ(Pixel(image, 30, 15), Grey(99));
    EXPECT_EQ(Pixel(image, 59, 29), Grey(66));
}

TEST(Panel, RoundFollowsTheParentColour) {
    TstPanel parent;
    parent.resize(100, 60);
    parent.SetBevelStyle(TBevelStyle::bsGradientInner);
    parent.SetBevelWidth(0);
    parent.SetColor(RGBColor(66, 66, 66));
    auto *child = new TstPanel(&parent);
    child->setGeometry(10, 10, 60, 30);
    child->SetColor(RGBColor(99, 99, 99));
    EXPECT_EQ(Pixel(Render(*child), 0, 0), Grey(66));
    parent.SetColor(RGBColor(10, 20, 30));
    EXPECT_EQ(Pixel(Render(*child), 0, 0), qRgb(10, 20, 30) & 0xFFFFFF);
    EXPECT_EQ(child->Color(), RGBColor(99, 99, 99));
}

TEST(Panel, ParentColorFollowsTheParent) {
    TstPanel parent;
    parent.SetColor(RGBColor(66, 66, 66));
    auto *child = new TstPanel(&parent);
    auto *grandchild = new TstPanel(child);
    grandchild->SetParentColor(true);
    child->SetParentColor(true);
    EXPECT_EQ(child->Color(), RGBColor(66, 66, 66));
    EXPECT_EQ(grandchild->Color(), RGBColor(66, 66, 66));
    parent.SetColor(RGBColor(1, 2, 3));
    EXPECT_EQ(child->Color(), RGBColor(1, 2, 3));
    EXPECT_EQ(grandchild->Color(), RGBColor(1, 2, 3));
    child->SetColor(RGBColor(7, 7, 7));
    EXPECT_FALSE(child->ParentColor());
    parent.SetColor(RGBColor(9, 9, 9));
    EXPECT_EQ(child->Color(), RGBColor(7, 7, 7));
    EXPECT_EQ(grandchild->Color(), RGBColor(7, 7, 7));
}

TEST(Panel, BevelLimitedToHalfTheSmallerSide) {
    TstPanel panel;
    panel.resize(185, 10);
    panel.SetBevelStyle(TBevelStyle::bsGradientOuter);
    panel.SetBevelWidth(20);
    panel.SetColor(RGBColor(66, 66, 66));
    EXPECT_EQ(panel.AdjustBevel(), 5);
    auto *child = new QWidget(&panel);
    child->resize(30, 7);
    SetAlign(child, TAlign::alClient);
    EXPECT_EQ(child->geometry(), QRect(5, 5, 175, 0));
    const QImage image = Render(panel);
    // Five rings from the top and five from the bottom meet in the middle.
    EXPECT_EQ(Pixel(image, 90, 4), GetColorShadow(RGBColor(66, 66, 66), 50, 5, 1).rgb() & 0xFFFFFF);
    EXPECT_EQ(Pixel(image, 90, 5),
              GetColorShadow(RGBColor(66, 66, 66), 50, -5, 1).rgb() & 0xFFFFFF);
    EXPECT_EQ(Pixel(image, 4, 5), GetColorShadow(RGBColor(66, 66, 66), 50, 5, 1).rgb() & 0xFFFFFF);
    EXPECT_EQ(Pixel(image, 5, 5), GetColorShadow(RGBColor(66, 66, 66), 50, -5, 1).rgb() & 0xFFFFFF);
}

TEST(Panel, ZeroBevelIsFlat) {
    TstPanel panel;
    EXPECT_EQ(panel.size(), QSize(185, 41));
    panel.resize(20, 20);
    panel.SetBevelStyle(TBevelStyle::bsGradientInner);
    panel.SetBevelWidth(0);
    panel.SetColor(RGBColor(45, 64, 153));
    const QImage image = Render(panel);
    EXPECT_EQ(Pixel(image, 0, 0), qRgb(45, 64, 153) & 0xFFFFFF);
    EXPECT_EQ(Pixel(image, 19, 19), qRgb(45, 64, 153) & 0xFFFFFF);
}

// The bounding box of the (antialiased) white text on a black panel.
QRect TextBox(const QImage &image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qRed(image.pixel(x, y)) > 60) box |= QRect(x, y, 1, 1);
    return box;
}

struct CaptionPanel {
    TstPanel panel;
    CaptionPanel() {
        panel.resize(120, 40);
        panel.SetBevelStyle(TBevelStyle::bsGradientInner);
        panel.SetBevelWidth(2);
        panel.SetColor(RGBColor(0, 0, 0));
        QFont f("Arial");
        f.setPixelSize(11);
        panel.setFont(f);
        QPalette p = panel.palette();
        p.setColor(QPalette::WindowText, Qt::white);
        panel.setPalette(p);
        panel.SetCaption("Devices");
    }
    QRect Box() { return TextBox(Render(panel)); }
};

TEST(Panel, CaptionPlacement) {
    CaptionPanel c;
    const QRect centred = c.Box();
    ASSERT_FALSE(centred.isEmpty());
    EXPECT_NEAR(centred.center().x(), 60, 2);
    EXPECT_NEAR(centred.center().y(), 20, 3);

    c.panel.SetAlignment(TAlignment::taLeftJustify);
    c.panel.SetIndent(10);
    c.panel.SetLayout(TTextLayout::tlTop);
    const QRect topLeft = c.Box();
    EXPECT_GE(topLeft.left(), 12);
    EXPECT_LE(topLeft.left(), 14);
    EXPECT_GE(topLeft.top(), 2);
    EXPECT_LE(topLeft.top(), 6);

    c.panel.SetAlignment(TAlignment::taRightJustify);
    c.panel.SetLayout(TTextLayout::tlBottom);
    const QRect bottomRight = c.Box();
    EXPECT_LE(bottomRight.right(), 120 - 12 - 1);
    EXPECT_GE(bottomRight.right(), 120 - 12 - 4);
    EXPECT_LE(bottomRight.bottom(), 40 - 2 - 1);
    EXPECT_GE(bottomRight.bottom(), 40 - 2 - 6);
}

TEST(Panel, LongCaptionStaysInItsRectangle) {
    CaptionPanel c;
    c.panel.resize(60, 20);
    c.panel.SetAlignment(TAlignment::taLeftJustify);
    c.panel.SetCaption("Calibration Table File");
    const QImage plain = Render(c.panel);
    const QRect cut = TextBox(plain);
    EXPECT_GE(cut.left(), 2);
    EXPECT_LE(cut.right(), 57);
    c.panel.SetAbbreviate(true);
    const QImage shortened = Render(c.panel);
    EXPECT_NE(plain, shortened);
    EXPECT_LE(TextBox(shortened).right(), 57);
}

TEST(Panel, Enable4AllSparesNegativeTags) {
    TstPanel panel;
    auto *button = new QWidget(&panel);
    auto *spared = new QWidget(&panel);
    SetTag(spared, -1);
    auto *group = new TstPanel(&panel);
    auto *inner = new QWidget(group);

    panel.SetEnabled(false);
    EXPECT_FALSE(panel.isEnabled());
    EXPECT_FALSE(button->isEnabledTo(&panel));
    EXPECT_FALSE(inner->isEnabledTo(group));
    EXPECT_TRUE(spared->isEnabledTo(&panel)); // its own state is left alone

    spared->setEnabled(false);
    panel.SetEnabled(true);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(inner->isEnabled());
    EXPECT_FALSE(spared->isEnabled());
}

TEST(Panel, WithoutEnable4AllChildrenKeepTheirOwnState) {
    TstPanel panel;
    panel.SetEnable4All(false);
    auto *child = new QWidget(&panel);
    child->setEnabled(false);
    panel.SetEnabled(false);
    panel.SetEnabled(true);
    EXPECT_FALSE(child->isEnabled());
}

TEST(Alignment, TopRightAndClientInsideTheBevel) {
    TstPanel panel;
    panel.resize(200, 100);
    panel.SetBevelStyle(TBevelStyle::bsGradientOuter);
    panel.SetBevelWidth(3);
    auto *top = new TstPanel(&panel);
    top->resize(10, 18);
    SetAlign(top, TAlign::alTop);
    EXPECT_EQ(top->geometry(), QRect(3, 3, 194, 18));

    auto *right = new QWidget(top);
    top->SetBevelWidth(1);
    right->resize(15, 5);
    SetAlign(right, TAlign::alRight);
    EXPECT_EQ(right->geometry(), QRect(194 - 1 - 15, 1, 15, 16));

    auto *bottom = new QWidget(&panel);
    bottom->resize(1, 20);
    SetAlign(bottom, TAlign::alBottom);
    auto *left = new QWidget(&panel);
    left->resize(30, 1);
    SetAlign(left, TAlign::alLeft);
    auto *client = new QWidget(&panel);
    SetAlign(client, TAlign::alClient);
    auto *free = new QWidget(&panel);
    free->setGeometry(50, 50, 5, 5);

    EXPECT_EQ(bottom->geometry(), QRect(3, 77, 194, 20));
    EXPECT_EQ(left->geometry(), QRect(3, 21, 30, 56));
    EXPECT_EQ(client->geometry(), QRect(33, 21, 164, 56));
    EXPECT_EQ(free->geometry(), QRect(50, 50, 5, 5));

    // Hidden widgets get their resize events when shown; from then on a
    // change of size re-lays out at once.
    panel.show();
    right->resize(92, 5);
    EXPECT_EQ(right->geometry(), QRect(194 - 1 - 92, 1, 92, 16));
    panel.resize(300, 120);
    EXPECT_EQ(top->geometry(), QRect(3, 3, 294, 18));
    EXPECT_EQ(bottom->geometry(), QRect(3, 97, 294, 20));
    EXPECT_EQ(client->geometry(), QRect(33, 21, 264, 76));
    EXPECT_EQ(right->geometry(), QRect(294 - 1 - 92, 1, 92, 16));

    panel.SetBevelWidth(0);
    EXPECT_EQ(top->geometry(), QRect(0, 0, 300, 18));

    top->hide(); // a hidden child takes no room
    EXPECT_EQ(client->geometry(), QRect(30, 0, 270, 100));
    EXPECT_EQ(free->geometry(), QRect(50, 50, 5, 5));
}

TEST(Alignment, NestedPanelsAreLaidOutBeforeShowing) {
    TstPanel panel;
    panel.SetBevelWidth(4);
    auto *title = new TstPanel(&panel);
    title->resize(1, 18);
    title->SetBevelWidth(1);
    SetAlign(title, TAlign::alTop);
    auto *buttons = new TstPanel(title);
    buttons->resize(92, 1);
    SetAlign(buttons, TAlign::alRight);
    auto *client = new TstPanel(nullptr);
    client->resize(496, 296);
    panel.setParent(client);
    SetAlign(&panel, TAlign::alClient);
    client->SetBevelWidth(0);
    EXPECT_EQ(panel.geometry(), QRect(0, 0, 496, 296));
    EXPECT_EQ(title->geometry(), QRect(4, 4, 488, 18));
    EXPECT_EQ(buttons->geometry(), QRect(488 - 1 - 92, 1, 92, 16));
    panel.setParent(nullptr);
    delete client;
}

TEST(Alignment, SeveralTopsKeepTheirOrder) {
    TstPanel panel;
    panel.resize(100, 100);
    panel.SetBevelWidth(0);
    auto *first = new QWidget(&panel);
    first->setGeometry(0, 0, 10, 20);
    SetAlign(first, TAlign::alTop);
    auto *second = new QWidget(&panel);
    second->setGeometry(0, 50, 10, 10);
    SetAlign(second, TAlign::alTop);
    EXPECT_EQ(second->geometry(), QRect(0, 20, 100, 10));
    auto *third = new QWidget(&panel);
    third->setGeometry(0, 10, 10, 5);
    SetAlign(third, TAlign::alTop);
    EXPECT_EQ(first->geometry(), QRect(0, 0, 100, 20));
    EXPECT_EQ(third->geometry(), QRect(0, 20, 100, 5));
    EXPECT_EQ(second->geometry(), QRect(0, 25, 100, 10));
    panel.show();
    first->resize(100, 30);
    EXPECT_EQ(third->geometry(), QRect(0, 30, 100, 5));
}

} // namespace
