// Painting of the panels and of the level bar, per call. The level bar must
// follow the receiver: a value change with its immediate redraw has to take
// well under a millisecond (1,000 changes a second with time to spare). A
// plain widget that fills itself is the baseline for the panel's bevel.
#include "benchsupport.h"
#include "controls/stgauge.h"
#include "controls/stpanel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QWindow>

namespace {

// Shows a widget and waits (bounded) until the platform exposes it, so that
// repaints really paint.
void ShowExposed(QWidget &widget) {
    widget.show();
    QElapsedTimer clock;
    clock.start();
    while (!(widget.windowHandle() && widget.windowHandle()->isExposed()) && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A group box of the main window: raised bevel and a caption.
void BM_PanelRepaint(benchmark::State &state) {
    TstPanel panel;
    panel.resize(225, 133);
    panel.SetBevelStyle(TBevelStyle(state.range(0)));
    panel.SetBevelWidth(3);
    panel.SetColor(4342338);
    panel.SetCaption(QStringLiteral("Devices"));
    ShowExposed(panel);
    for (auto _ : state)
        panel.repaint();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PanelRepaint)
    ->Arg(int(TBevelStyle::bsRound))
    ->Arg(int(TBevelStyle::bsGradientInner))
    ->Arg(int(TBevelStyle::bsGradientOuter));

class FilledWidget : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(66, 66, 66)); }
};

void BM_PlainWidgetRepaint(benchmark::State &state) {
    FilledWidget widget;
    widget.resize(225, 133);
    ShowExposed(widget);
    for (auto _ : state)
        widget.repaint();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainWidgetRepaint);

// The main window's level bar following a changing RAW value, with an
// after-draw hook like the main window's.
void BM_GaugeValueChange(benchmark::State &state) {
    TstGauge gauge;
    gauge.resize(209, 19);
    gauge.SetBevelStyle(TBevelStyle::bsGradientInner);
    gauge.SetBevelWidth(2);
    gauge.SetColor(4342338);
    gauge.SetBackColor(20480);
    gauge.SetForeColor(38144);
    gauge.SetGaugePercent(88);
    gauge.SetMax(255);
    std::int64_t draws = 0;
    gauge.SetOnAfterDraw([&draws](TstGauge *, QPainter &canvas, const QRect &bar) {
        ++draws;
        canvas.setPen(Qt::white);
        canvas.drawLine(bar.left() + 90, bar.top(), bar.left() + 90, bar.bottom());
    });
    ShowExposed(gauge);
    int value = 0;
    for (auto _ : state) {
        value = (value + 37) % 256;
        gauge.SetCurrent(value);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["draws_per_change"] =
        benchmark::Counter(double(draws) / double(std::max<std::int64_t>(1, state.iterations())));
}
BENCHMARK(BM_GaugeValueChange);

} // namespace

K740_BENCHMARK_MAIN();
