// Writes the README's picture of the graph window, a table as its curve with
// the magnifier over it, when K740_GRAPH_SCREENSHOT names the file; skipped
// otherwise.
#include "graph/u_graphform.h"
#include "graphtesting.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Screenshot, GraphWindowWithACurveAndTheMagnifier) {
    const QString file = qEnvironmentVariable("K740_GRAPH_SCREENSHOT");
    if (file.isEmpty()) GTEST_SKIP() << "K740_GRAPH_SCREENSHOT not set";
    graphtesting::ParkPointer();
    TGraphForm form;
    // A receiver's table: nearly linear in the middle, bending at both ends.
    TDbmTable table{};
    for (int raw = 0; raw < 256; ++raw) {
        const double t = raw / 255.0;
        table[static_cast<std::size_t>(raw)] =
            std::round(10.0 * (-131.0 + 112.0 * t - 9.0 * std::sin(3.0 * t))) / 10.0;
    }
    form.SetTable(table, "14.25 MHz");
    form.show();
    form.activateWindow();
    QCoreApplication::processEvents();
    const TGraphRect plot = form.Graph->PlotRect();
    // The pointer a little below the curve at RAW 110.
    const double value = table[110];
    graphtesting::Hover(form.Graph, {plot.Left + plot.Width() * 110 / 255,
                                     int(plot.Bottom - (140 + value) * plot.Height() / 140) + 6});
    for (int tick = 0; tick < 8; ++tick)
        form.Graph->AnimationTick();
    ASSERT_TRUE(form.grab().save(file));
}
