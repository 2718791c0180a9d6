// The graph window: its graph and curve, a table loaded with one redraw, a
// value dragged with the mouse reported to whoever edits the table, and
// closing and showing it again.
#include "graph/dbmset.h"
#include "graph/scalgraph.h"
#include "graph/u_graphform.h"
#include "graphtesting.h"
#include "support/testsupport.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <optional>

using namespace graphtesting;
using testsupport::Child;

namespace {

TSCalGraph &GraphOf(TGraphForm &form) {
    return Child<TSCalGraph>(form, "Graph");
}

TDbmTable Ramp() {
    TDbmTable table{};
    for (int raw = 0; raw < 256; ++raw)
        table[static_cast<std::size_t>(raw)] = -140.0 + raw * 0.5;
    return table;
}

// Hovers over the middle of the plot on the column of `raw`.
QPoint HoverRaw(TSCalGraph *graph, int raw) {
    const TGraphRect plot = graph->PlotRect();
    const QPoint at(ColumnOf(plot, raw), (plot.Top + plot.Bottom) / 2);
    Hover(graph, at);
    return at;
}

} // namespace

TEST(GraphForm, GraphFillsThePanelWithOneLimeCurve) {
    TGraphForm form;
    TSCalGraph &graph = GraphOf(form);
    auto &panel = Child<TstPanel>(form, "P");
    EXPECT_EQ(graph.parentWidget(), &panel);
    EXPECT_EQ(graph.geometry(), panel.AlignRect());
    EXPECT_EQ(panel.geometry(), QRect(6, 30, 545, 345));
    EXPECT_EQ(QFontInfo(graph.font()).pixelSize(), 11);
    ASSERT_EQ(graph.SetCount(), 1);
    EXPECT_EQ(graph.Set(0)->Color(), clLime);
    EXPECT_EQ(Child<TstSpeedButton>(form, "stSpeedButton3").Caption(), "Close");
}

TEST(GraphForm, SetTableRedrawsOnce) {
    ParkPointer(); // no magnifier, so no animation paints
    TGraphForm form;
    form.show();
    QCoreApplication::processEvents();
    TSCalGraph &graph = GraphOf(form);
    PaintCounter paints(&graph);
    const TDbmTable table = Ramp();
    form.SetTable(table, "145.5 MHz");
    EXPECT_EQ(paints.rects.size(), 1u);
    EXPECT_EQ(graph.Set(0)->Name(), "145.5 MHz");
    for (int raw : {0, 100, 255})
        EXPECT_EQ(graph.Set(0)->DBM(raw), table[static_cast<std::size_t>(raw)]);
    // Drawing goes on afterwards: one value set is one more redraw.
    form.SetValue(100, -20.0);
    EXPECT_EQ(paints.rects.size(), 2u);
    EXPECT_EQ(graph.Set(0)->DBM(100), -20.0);
}

TEST(GraphForm, DraggingRaw100ReportsTheValueAndCloseKeepsTheCurve) {
    ParkPointer();
    TGraphForm form;
    form.show();
    QCoreApplication::processEvents();
    form.SetTable(Ramp(), "7.1 MHz");
    std::vector<std::pair<int, double>> changes;
    std::vector<std::string> order;
    QObject::connect(&form, &TGraphForm::DBMChanged, [&](int raw, double value) {
        changes.emplace_back(raw, value);
        order.push_back("changed");
    });
    QObject::connect(&form, &TGraphForm::DragStarted, [&] { order.push_back("started"); });
    QObject::connect(&form, &TGraphForm::DragFinished, [&] { order.push_back("finished"); });

    TSCalGraph &graph = GraphOf(form);
    TDBMSet &curve = *graph.Set(0);
    const QPoint at = HoverRaw(&graph, 100);
    QTest::mousePress(&graph, Qt::LeftButton, {}, at);
    // Down the held line past -73.4, then back up until the box reads it.
    const auto moveTo = [&](int y) { QTest::mouseMove(&graph, QPoint(at.x(), y)); };
    int y = at.y();
    for (; y < graph.height() && curve.DBM(100) > -73.4; ++y)
        moveTo(y);
    for (; y > 0 && curve.DBM(100) < -73.4; --y)
        moveTo(y);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, at);

    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), std::make_pair(100, -73.4));
    EXPECT_EQ(curve.DBM(100), -73.4);
    for (const auto &change : changes)
        EXPECT_EQ(change.first, 100);
    EXPECT_EQ(curve.DBM(99), Ramp()[99]);
    EXPECT_EQ(order.front(), "started");
    EXPECT_EQ(order.back(), "finished");

    // Off the plot, then "Close" and show again: the same curve.
    auto &close = Child(form, "stSpeedButton3");
    Hover(&form, close.geometry().center());
    const QImage before = testsupport::Render(graph);
    QTest::mouseClick(&close, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(curve.DBM(100), -73.4);
    EXPECT_EQ(testsupport::Render(graph), before);
}
