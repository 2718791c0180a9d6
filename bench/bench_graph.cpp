// The calibration graph at the graph window's size, 545 by 345, with one
// table as its curve: a full redraw; one drag step (the value set, plot and
// zoom picture redrawn, composed, repainted), which should stay under 2 ms;
// and one animation tick, which copies only the rectangle around the frame
// and the position box to the screen (its area is reported as a counter).
//
// Check the drag step with:
//   bench_graph --benchmark_out=graph.json
//   bench/ratios.py --check graph.json 'drag step=BM_GraphDragStep<=2ms'
#include "benchsupport.h"

#include "graph/scalgraph.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPaintEvent>

namespace {

// The rectangle of the widget's last repaint.
struct LastPaint : QObject {
    QRect rect;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) rect = static_cast<QPaintEvent *>(event)->rect();
        return false;
    }
};

struct Graph {
    QWidget window;
    TSCalGraph *graph = new TSCalGraph(&window);
    QPoint centre;

    Graph() {
        window.resize(600, 400);
        graph->setGeometry(0, 0, 545, 345);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(11);
        graph->setFont(font);
        auto *set = new TDBMSet;
        set->SetColor(clLime);
        set->SetName(QStringLiteral("14.25 MHz"));
        graph->AddSet(set);
        graph->BeginUpdate();
        for (int raw = 0; raw < 256; ++raw)
            set->SetDBM(raw, -130.0 + raw * 0.42);
        graph->EndUpdate();
        window.show();
        QCoreApplication::processEvents();
        const TGraphRect plot = graph->PlotRect();
        centre = {(plot.Left + plot.Right) / 2, (plot.Top + plot.Bottom) / 2};
        QEnterEvent enter(centre, graph->mapToGlobal(centre), graph->mapToGlobal(centre));
        QCoreApplication::sendEvent(graph, &enter);
    }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, graph->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, {});
        QCoreApplication::sendEvent(graph, &event);
    }
};

void BM_GraphFullRedraw(benchmark::State &state) {
    Graph g;
    for (auto _ : state)
        g.graph->Redraw();
}
BENCHMARK(BM_GraphFullRedraw)->Unit(benchmark::kMicrosecond);

void BM_GraphDragStep(benchmark::State &state) {
    Graph g;
    g.Mouse(QEvent::MouseButtonPress, g.centre, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        // Up and down by a pixel, inside the magnifier: a new value each time.
        step ^= 1;
        g.Mouse(QEvent::MouseMove, g.centre + QPoint(0, step), Qt::LeftButton);
    }
    g.Mouse(QEvent::MouseButtonRelease, g.centre, Qt::NoButton);
}
BENCHMARK(BM_GraphDragStep)->Unit(benchmark::kMicrosecond);

void BM_GraphAnimationTick(benchmark::State &state) {
    Graph g;
    g.Mouse(QEvent::MouseMove, g.centre + QPoint(1, 0), Qt::NoButton);
    LastPaint painted;
    g.graph->installEventFilter(&painted);
    for (auto _ : state)
        g.graph->AnimationTick();
    const QRect copied = painted.rect;
    state.counters["copied_px"] = copied.width() * copied.height();
    state.counters["control_px"] = g.graph->width() * g.graph->height();
}
BENCHMARK(BM_GraphAnimationTick)->Unit(benchmark::kMicrosecond);

} // namespace

K740_BENCHMARK_MAIN();
