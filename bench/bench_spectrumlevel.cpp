// The live level from a demodulator spectrum against a plain maximum over the
// same passband bins: the level adds the window arithmetic, one logarithm,
// the gain and the RAW scaling, which should cost little beside the scan.
#include "app/k740scalib.h"
#include "app/u_mainform.h"
#include "controls/stgauge.h"
#include "controls/stgrid.h"
#include "controls/stspeedbutton.h"
#include "platform/messagebox.h"
#include "receiver/spectrumlevel.h"

#include "benchsupport.h"
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t kSpan = 12000;
constexpr std::int32_t kWidth = 3000;

std::vector<float> MakeBins(std::int64_t count) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(1e-12f, 1e-8f);
    std::vector<float> bins(static_cast<std::size_t>(count));
    for (auto &b : bins)
        b = noise(random);
    bins[bins.size() / 2] = 1e-5f;
    return bins;
}

void BM_SpectrumLevel(benchmark::State &state) {
    const auto bins = MakeBins(state.range(0));
    const SpectrumLevel::Spectrum spectrum{kSpan, std::int64_t(bins.size() * 4), bins.data()};
    const SpectrumLevel::LevelConstants constants;
    std::int32_t first = 0, last = 0;
    SpectrumLevel::PassbandBins(1, kSpan, kWidth, 0, std::int32_t(bins.size()), first, last);
    for (auto _ : state) {
        double peak = 0;
        SpectrumLevel::SpectrumPeakDb(spectrum, 1, kWidth, 0, peak);
        benchmark::DoNotOptimize(
            SpectrumLevel::RawFromPeak(peak, SpectrumLevel::kDemoAgcReading, constants));
    }
    state.SetItemsProcessed(state.iterations() * (last - first + 1));
}
BENCHMARK(BM_SpectrumLevel)->Arg(2048)->Arg(65536);

// The baseline: the largest bin of the same window and nothing else.
void BM_PlainMaximum(benchmark::State &state) {
    const auto bins = MakeBins(state.range(0));
    std::int32_t first = 0, last = 0;
    SpectrumLevel::PassbandBins(1, kSpan, kWidth, 0, std::int32_t(bins.size()), first, last);
    for (auto _ : state) {
        const float *data = bins.data();
        benchmark::DoNotOptimize(data);
        float top = data[first];
        for (std::int32_t i = first + 1; i <= last; ++i)
            top = data[i] > top ? data[i] : top;
        benchmark::DoNotOptimize(top);
    }
    state.SetItemsProcessed(state.iterations() * (last - first + 1));
}
BENCHMARK(BM_PlainMaximum)->Arg(2048)->Arg(65536);

// The whole spectrum message in the main window with the demo receiver open:
// window, peak, gain, RAW, and the gauge's immediate redraw (the value
// alternates so that every message redraws). Should stay under 1 ms.
void BM_SpectrumMessage(benchmark::State &state) {
    QTemporaryDir registry;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, registry.path() + "/user");
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, registry.path() + "/sys");
    {
        QSettings machine(QSettings::NativeFormat, QSettings::SystemScope, "QMV");
        machine.setValue("SearchPath", QCoreApplication::applicationDirPath());
    }
    platform::SetMessageBoxResponder([](const platform::MessageBoxRequest &box) {
        std::fprintf(stderr, "%s\n", qPrintable(box.text));
        return QMessageBox::Ok;
    });
    TProgram program;
    TMainForm &form = program.MainForm();
    form.show();
    form.findChild<TstGrid *>(QStringLiteral("K7Devs"))->SetRow(0);
    form.findChild<TstSpeedButton *>(QStringLiteral("BSelect"))->Click();
    TReceiverConnection &receiver = program.Receiver();
    if (receiver.Handle() <= 0) {
        state.SkipWithError("the demo receiver did not open");
        return;
    }
    const std::intptr_t module = receiver.ModuleWindow();
    TQmvHost::Callback(module, QMV_HOST_MODE, 1, 0, 0);
    TQmvHost::Callback(module, QMV_HOST_WIDTH, kWidth, 0, 0);
    auto strong = MakeBins(state.range(0));
    auto weak = strong;
    weak[weak.size() / 2] = 1e-7f;
    bool flip = false;
    for (auto _ : state) {
        const auto &bins = flip ? strong : weak;
        flip = !flip;
        // The module's spectrum message, as its window sends it.
        TQmvHost::Callback(module, QMV_HOST_SPECTRUM, kSpan, std::intptr_t(bins.size() * 4),
                           reinterpret_cast<std::intptr_t>(bins.data()));
    }
    benchmark::DoNotOptimize(form.findChild<TstGauge *>(QStringLiteral("G"))->Current());
    form.close(); // the next run opens the demo receiver again
    platform::SetMessageBoxResponder({});
}
BENCHMARK(BM_SpectrumMessage)->Arg(2048)->Arg(65536)->Unit(benchmark::kMicrosecond);

} // namespace

K740_BENCHMARK_MAIN();
