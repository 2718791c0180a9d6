// The calibration graph at a device pixel ratio of 2: its three pictures
// hold device pixels, the curves lie where they lie at 100 %, smoothed, and
// nothing on the screen is a pixel-doubled picture.
#include "hidpitesting.h"

#include "graph/graphtesting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace graphtesting;
using namespace hidpitesting;

constexpr QRgb kLime = 0x00FF00;
constexpr QRgb kYellow = 0xFFFF00;

TEST(CrispGraph, PicturesHoldDevicePixels) {
    Host host;
    auto *set = new TDBMSet;
    set->SetColor(clLime);
    set->SetName(QStringLiteral("14.25 MHz"));
    host.graph->AddSet(set);
    host.graph->BeginUpdate();
    for (int raw = 0; raw < 256; ++raw)
        set->SetDBM(raw, -130.0 + raw * 0.45 + 6.0 * std::sin(raw / 20.0));
    host.graph->EndUpdate();

    const TGraphRect plot = host.graph->PlotRect();
    const QImage image = testsupport::Render(*host.graph);
    ASSERT_EQ(image.size(), QSize(1000, 560));
    // The axes on the logical pixels they take at 100 %.
    for (const QPoint at :
         {QPoint(plot.Left - 1, plot.Bottom + 1), QPoint(plot.Left - 1, plot.Top + 1),
          QPoint(plot.Right - 1, plot.Bottom + 1)})
        for (int d = 0; d < 4; ++d)
            EXPECT_EQ(testsupport::Pixel(image, 2 * at.x() + d % 2, 2 * at.y() + d / 2), kYellow)
                << at.x() << "," << at.y();
    EXPECT_EQ(testsupport::Pixel(image, 2 * (plot.Left - 1) - 1, 2 * (plot.Bottom + 1)), 0u);
    // Labels, legend and the sloped curve at the screen's resolution.
    EXPECT_EQ(testsupport::FindPixelDoubledRegion(image), std::nullopt);

    // The magnifier's content comes from the zoom picture at 2 as well.
    const QPoint centre((plot.Left + plot.Right) / 2, (plot.Top + plot.Bottom) / 2);
    Hover(host.graph, centre);
    const QImage magnified = testsupport::Render(*host.graph);
    // Inside the frame, whose line is about two device pixels wide.
    const QRect frame = MagnifierFrame(magnified);
    ASSERT_NEAR(frame.width(), 2 * 103, 1);
    EXPECT_EQ(testsupport::FindPixelDoubledRegion(magnified.copy(frame.adjusted(2, 2, -2, -2))),
              std::nullopt);
    EXPECT_EQ(testsupport::FindPixelDoubledRegion(magnified), std::nullopt);
}

// A flat curve covers the two device rows of the logical row it takes at
// 100 %, and nothing above or below.
TEST(CrispGraph, FlatCurvesOnTheirLogicalRows) {
    Host host;
    auto *set = new TDBMSet;
    set->SetColor(clLime);
    host.graph->AddSet(set);
    const TGraphRect plot = host.graph->PlotRect();
    const double dbStep = plot.Height() / 140.0;
    const int x = 2 * (plot.Left + 50); // between two grid lines
    const struct {
        double value;
        int row;
    } cases[] = {{-140.0, plot.Bottom}, {-139.9, int(plot.Bottom - dbStep)}, {0.0, plot.Top}};
    for (const auto &c : cases) {
        EXPECT_EQ(FlatCurveRows(host, *set, c.value, x),
                  (std::vector<int>{2 * c.row, 2 * c.row + 1}))
            << c.value;
    }
}

} // namespace
