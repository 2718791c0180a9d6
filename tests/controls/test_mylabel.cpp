#include "controls/mylabel.h"
#include "controls/stpanel.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <set>

using testsupport::Render;

namespace {

std::set<QRgb> Colours(const QImage &image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    return colours;
}

QRgb Rgb(TColor c) {
    return ColorToQColor(c).rgb() & 0xFFFFFF;
}

struct LabelOnPanel {
    TstPanel panel;
    TmyLabel *label;
    LabelOnPanel() {
        panel.resize(120, 40);
        panel.SetColor(RGBColor(66, 66, 66));
        label = new TmyLabel(&panel);
        QFont f("Arial");
        f.setPixelSize(11);
        f.setBold(true);
        f.setStyleStrategy(QFont::NoAntialias); // exact colours for the checks
        label->setFont(f);
        SetFontColor(label, clYellow);
        label->move(8, 4);
        label->SetCaption("Devices");
    }
};

TEST(Label, AutoSize) {
    LabelOnPanel l;
    const QSize text = l.label->fontMetrics().size(Qt::TextSingleLine, "Devices");
    EXPECT_EQ(l.label->size(), text);
    l.label->SetAutoSize(false);
    l.label->resize(388, 14);
    l.label->SetCaption("S-Meter Calibrator for ZX-K740");
    EXPECT_EQ(l.label->size(), QSize(388, 14));
}

TEST(Label, EnabledTextInTheFontColour) {
    LabelOnPanel l;
    const auto colours = Colours(Render(*l.label));
    EXPECT_TRUE(colours.count(Rgb(clYellow)));
    EXPECT_TRUE(colours.count(Rgb(RGBColor(66, 66, 66)))); // the panel's colour behind
}

TEST(Label, DisabledTextInDisableColourOnly) {
    LabelOnPanel l;
    l.label->SetDisableColor(RGBColor(128, 128, 0));
    l.panel.SetEnabled(false);
    const auto colours = Colours(Render(*l.label));
    EXPECT_FALSE(colours.count(Rgb(clYellow)));
    EXPECT_FALSE(colours.count(Rgb(clGray)));
    EXPECT_TRUE(colours.count(Rgb(RGBColor(128, 128, 0))));
}

TEST(Label, BurriedShadowOnePixelRightAndDown) {
    LabelOnPanel l;
    l.label->SetAutoSize(false);
    l.label->resize(80, 20);
    l.label->setEnabled(false);
    l.label->SetShowBurried(true);
    const QImage image = Render(*l.label);
    const QRgb disabled = Rgb(RGBColor(32, 32, 32));
    const QRgb burried = Rgb(clGray);
    int shadows = 0;
    for (int y = 0; y + 1 < image.height(); ++y)
        for (int x = 0; x + 1 < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == disabled) {
                // Below-right of a text pixel is either text or its shadow.
                const QRgb next = image.pixel(x + 1, y + 1) & 0xFFFFFF;
                EXPECT_TRUE(next == disabled || next == burried);
                shadows += next == burried;
            }
    EXPECT_GT(shadows, 5);
}

} // namespace
