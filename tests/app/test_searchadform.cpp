#include "app/u_searchadform.h"
#include "controls/cgauges.h"
#include "controls/stpanel.h"
#include "support/testsupport.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

TEST(SearchADForm, SmallFramelessWindowWithAFixedBar) {
    TSearchADForm form;
    EXPECT_EQ(form.size(), QSize(298, 55));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.TopPanel, nullptr); // no title bar
    using testsupport::Child;
    EXPECT_EQ(Child<QLabel>(form, "Label1").text(),
              QStringLiteral("Searching available devices ..."));
    EXPECT_EQ(Child(form, "PP").size(), QSize(285, 17));
    auto &gauge = Child<TCGauge>(form, "G");
    EXPECT_EQ(gauge.geometry(), QRect(2, 2, 281, 13));
    EXPECT_EQ(gauge.Progress(), 50);
    EXPECT_EQ(gauge.MaxValue(), 63);
    // 79 percent of 282 pixels: 222 in the fore colour, the rest grey.
    const QImage bar = testsupport::Render(gauge);
    EXPECT_EQ(testsupport::Pixel(bar, 221, 6), qRgb(0, 160, 0) & 0xFFFFFF);
    EXPECT_EQ(testsupport::Pixel(bar, 223, 6), qRgb(99, 99, 99) & 0xFFFFFF);
}

} // namespace
