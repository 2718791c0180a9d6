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

// The dialog listing the big set: one modal run answered at once, after which
// it is shown and hidden again as often as the benchmark wants.
struct Details {
    Details() {
        TstForm::SetModalResponder([](TstForm &) { return int(mrCancel); });
        form.ShowDetails(BigSet(), nullptr);
        TstForm::SetModalResponder({});
    }
    TCalInfoForm form;
    TstGrid &listing = *form.findChild<TstGrid *>(QStringLiteral("G"));
    TmyScrollBar &bar = *form.findChild<TmyScrollBar *>(QStringLiteral("SB"));
};

void BM_CalInfoShow(benchmark::State &state) {
    Details details;
    QPixmap target(details.listing.size());
    for (auto _ : state) {
        details.form.show();
        details.listing.render(&target);
        state.PauseTiming();
        details.form.hide();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(details.listing.RowCount() - 1);
}
BENCHMARK(BM_CalInfoShow)->Unit(benchmark::kMillisecond);

// A paint after a scroll; drawing more than the rows on view would make it
// as slow as the whole listing.
void BM_CalInfoScroll(benchmark::State &state) {
    Details details;
    details.form.show();
    QPixmap target(details.listing.size());
    TmyScrollBar &bar = details.bar;
    std::int64_t position = bar.Min();
    for (auto _ : state) {
        position = bar.Min() + (position + 7919) % (bar.Max() - bar.Min());
        bar.SetPosition(position);
        details.listing.render(&target);
    }
}
BENCHMARK(BM_CalInfoScroll)->Unit(benchmark::kMicrosecond);

} // namespace

K740_BENCHMARK_MAIN();
