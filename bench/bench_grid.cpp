// The grid with lists of 100,000 rows: filling it as the list refresh does
// (growing it row by row and writing three cells per row), and scrolling it,
// where a paint must draw the visible rows only.
#include "benchsupport.h"

#include "controls/stgrid.h"

#include <QPainter>

namespace {

void SetUpList(TstGrid &grid) {
    grid.resize(132, 154);
    grid.SetColCount(3);
    grid.SetFixedRows(0);
    grid.SetDefaultColWidth(120);
    grid.SetRowHeight(14);
    grid.SetRowSelect(true);
    grid.SetColor(RGBColor(66, 66, 66));
}

void BM_GridFill100k(benchmark::State &state) {
    const int rows = int(state.range(0));
    // The texts are the caller's; the grid's part is what is timed.
    std::vector<QString> frequencyTexts, hertzTexts;
    for (int r = 0; r < rows; ++r) {
        const std::uint64_t hz = 100000 + std::uint64_t(r) * 1000;
        frequencyTexts.push_back(QString::number(double(hz) / 1e6, 'g', 15) +
                                 QStringLiteral(" MHz"));
        hertzTexts.push_back(QString::number(hz));
    }
    for (auto _ : state) {
        TstGrid grid;
        SetUpList(grid);
        grid.show();
        grid.SetRowCount(1);
        grid.ClearRow(0);
        for (int r = 0; r < rows; ++r) {
            grid.SetRowCount(r + 1);
            grid.SetCells(0, r, frequencyTexts[std::size_t(r)]);
            grid.SetCells(1, r, hertzTexts[std::size_t(r)]);
            grid.SetCells(2, r, QString());
        }
        benchmark::DoNotOptimize(grid.Cells(1, rows - 1));
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_GridFill100k)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_GridScrollAndPaint(benchmark::State &state) {
    TstGrid grid;
    SetUpList(grid);
    grid.show();
    grid.SetRowCount(100000);
    for (int r = 0; r < 100000; ++r)
        grid.SetCells(0, r, QString::number(r));
    std::int64_t cellsDrawn = 0;
    grid.SetOnDrawCell([&](TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
                           TstGrid::TGridDrawState) {
        ++cellsDrawn;
        canvas.fillRect(rect, QColor(66, 66, 66));
        canvas.setPen(QColor(192, 192, 192));
        canvas.drawText(rect, Qt::AlignRight, grid.Cells(col, row));
    });
    QPixmap target(grid.size());
    int top = 0;
    for (auto _ : state) {
        top = (top + 997) % grid.MaxTopRow();
        grid.SetTopRow(top);
        grid.render(&target);
    }
    // Cells drawn per paint: the visible rows (and a partly visible one) only.
    state.counters["cells_per_paint"] =
        benchmark::Counter(double(cellsDrawn) / double(state.iterations()));
}
BENCHMARK(BM_GridScrollAndPaint)->Unit(benchmark::kMicrosecond);

} // namespace

K740_BENCHMARK_MAIN();
