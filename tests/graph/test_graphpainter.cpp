// The graph's drawing on a painter of its own: the same pixels as the graph
// control shows, whatever the painter, and the same layout when the painter
// is scaled onto a larger device (as the report draws it).
#include "graph/graphpainter.h"
#include "graphtesting.h"

#include "controls/stcontrol.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// The look of a graph as its public properties give it.
TGraphLook LookOf(const TSCalGraph &graph) {
    TGraphLook look;
    look.Color = graph.Color();
    look.AxisColor = graph.AxisColor();
    look.GridColor = graph.GridColor();
    look.LabelColor = graph.LabelColor();
    look.Margin = graph.Margin();
    look.LabelX = graph.LabelX();
    look.LabelY = graph.LabelY();
    look.Font = graph.font();
    look.FontColor = FontColor(&graph);
    return look;
}

TDBMSets Curves(const std::vector<std::pair<TColor, QString>> &named, double slope) {
    TDBMSets sets;
    for (std::size_t i = 0; i < named.size(); ++i) {
        auto set = std::make_unique<TDBMSet>();
        set->SetColor(named[i].first);
        set->SetName(named[i].second);
        for (int raw = 0; raw < 256; ++raw)
            set->SetDBM(raw, raw % 37 == 5 ? 0.0 : -140.0 + raw * slope + 9.0 * double(i));
        sets.push_back(std::move(set));
    }
    return sets;
}

TEST(GraphPainter, PaintsWhatTheGraphControlShows) {
    struct Case {
        int width, height, margin, pixelSize;
        std::vector<std::pair<TColor, QString>> curves;
    } cases[] = {
        {500, 280, 15, 11, {{clLime, "7.1 MHz"}}},
        {557, 345, 4, 9, {{clLime, "145.5 MHz"}, {clRed, "14.2 MHz"}}},
        {300, 200, 15, 13, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        graphtesting::Host host(c.width, c.height);
        TSCalGraph &graph = *host.graph;
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(c.pixelSize);
        graph.setFont(font);
        graph.SetMargin(c.margin);
        graph.SetColor(RGBColor(10, 20, 30));
        TDBMSets curves = Curves(c.curves, 0.5);
        graph.BeginUpdate();
        for (const auto &curve : curves) {
            auto *set = new TDBMSet();
            set->SetColor(curve->Color());
            set->SetName(curve->Name());
            for (int raw = 0; raw < 256; ++raw)
                set->SetDBM(raw, curve->DBM(raw));
            graph.AddSet(set);
        }
        graph.EndUpdate();

        QImage own(graph.size(), QImage::Format_RGB32);
        own.fill(Qt::magenta);
        QPainter painter(&own);
        const GraphPainter::TGraphLayout layout =
            GraphPainter::DrawGraph(painter, graph.size(), LookOf(graph), curves);
        painter.end();

        EXPECT_EQ(layout.Plot, graph.PlotRect());
        EXPECT_EQ(own, testsupport::Render(graph).convertToFormat(own.format()));
    }
}

TEST(GraphPainter, AScaledPainterKeepsTheLayoutAndDrawsLarger) {
    const TDBMSets curves = Curves({{clBlack, "3.6 MHz"}}, 0.4);
    TGraphLook look;
    look.Color = clWhite;
    look.AxisColor = clBlack;
    look.Font = QFont(QStringLiteral("Arial"));
    look.Font.setPixelSize(11);
    const QSize size(400, 220);

    QImage plain(size, QImage::Format_RGB32);
    QPainter p1(&plain);
    const auto layout = GraphPainter::DrawGraph(p1, size, look, curves);
    p1.end();

    QImage large(size * 3, QImage::Format_RGB32);
    large.fill(Qt::magenta);
    QPainter p3(&large);
    p3.scale(3, 3);
    EXPECT_EQ(GraphPainter::DrawGraph(p3, size, look, curves).Plot, layout.Plot);
    p3.end();

    // The background covers the whole scaled area, the axis runs along the
    // plot's left edge, and the curve's first point sits where RAW 0 is.
    EXPECT_EQ(large.pixel(large.width() - 1, large.height() - 1), QColor(Qt::white).rgb());
    const int axisX = 3 * (layout.Plot.Left - 1) + 1;
    EXPECT_EQ(large.pixel(axisX, 3 * (layout.Plot.Top + layout.Plot.Bottom) / 2),
              QColor(Qt::black).rgb());
    int dark = 0;
    for (int x = 3 * layout.Plot.Left; x < 3 * layout.Plot.Right; ++x)
        for (int y = 3 * layout.Plot.Top; y < 3 * layout.Plot.Bottom; ++y)
            dark += qGray(large.pixel(x, y)) < 64 ? 1 : 0;
    EXPECT_GT(dark, 3 * 255) << "the curve is drawn across the whole plot";
}

} // namespace
