// The details dialog on a set of 18 receiver names x 4 modes x 1,000 points
// (72,000 rows): showing it (the listing read from the library, the scroll
// bar set, the first paint), and scrolling it, where a paint must draw the
// visible rows only.
#include "benchsupport.h"

#include "calibration/smsdk.h"
#include "controls/myscrollbar.h"
#include "controls/stgrid.h"
#include "dialogs/u_calinfoform.h"

#include <QPainter>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

namespace {

std::int32_t BigSet() {
    static std::int32_t cal = -1;
    if (cal >= 0) return cal;
    Smsdk &sdk = Smsdk::Instance();
    if (!sdk.Load().Ok()) {
        std::fprintf(stderr, "smetersdk.dll not found beside the benchmark\n");
        std::exit(1);
    }
    cal = sdk.LoadCALFile(nullptr);
    TDbmTable table{};
    for (const char *name : Smsdk::ModelNames)
        for (const std::int32_t mode : {-1, 0, 3, 5})
            for (std::uint64_t p = 0; p < 1000; ++p)
                sdk.PutDBMs(cal, name, mode, 100000 + p * 30000, table.data());
    return cal;
}

void BM_CalInfoShow(benchmark::State &state) {
    TCalInfoForm form;
    form.SetCalHandle(BigSet());
    QPixmap target(form.G->size());
    for (auto _ : state) {
        form.show();
        form.G->render(&target);
        state.PauseTiming();
        form.hide();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(form.G->RowCount() - 1);
}
BENCHMARK(BM_CalInfoShow)->Unit(benchmark::kMillisecond);

void BM_CalInfoScroll(benchmark::State &state) {
    TCalInfoForm form;
    form.SetCalHandle(BigSet());
    form.show();
    std::int64_t cells = 0;
    const TstGrid::TDrawCellEvent draw = form.G->OnDrawCell;
    form.G->OnDrawCell = [&](TstGrid *grid, QPainter &canvas, int col, int row, const QRect &rect,
                             TstGrid::TGridDrawState drawState) {
        ++cells;
        draw(grid, canvas, col, row, rect, drawState);
    };
    QPixmap target(form.G->size());
    std::int64_t position = form.SB->Min();
    for (auto _ : state) {
        position = form.SB->Min() + (position + 7919) % (form.SB->Max() - form.SB->Min());
        form.SB->SetPosition(position);
        form.G->render(&target);
    }
    // Rows drawn per paint: the header and the rows on view (and a partly
    // visible one), three cells each.
    state.counters["rows_per_paint"] = double(cells) / 3.0 / double(state.iterations());
}
BENCHMARK(BM_CalInfoScroll)->Unit(benchmark::kMicrosecond);

} // namespace

K740_BENCHMARK_MAIN();
