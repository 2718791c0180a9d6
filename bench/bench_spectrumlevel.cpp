// The live level from a demodulator spectrum against a plain maximum over the
// same passband bins: the level adds the window arithmetic, one logarithm,
// the gain and the RAW scaling, which should cost little beside the scan.
#include "app/spectrumlevel.h"
#include "benchsupport.h"

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
    const spectrumlevel::Spectrum spectrum{kSpan, std::int64_t(bins.size() * 4), bins.data()};
    const spectrumlevel::LevelConstants constants;
    std::int32_t first = 0, last = 0;
    spectrumlevel::PassbandBins(1, kSpan, kWidth, 0, std::int32_t(bins.size()), first, last);
    for (auto _ : state) {
        double peak = 0;
        spectrumlevel::SpectrumPeakDb(spectrum, 1, kWidth, 0, peak);
        benchmark::DoNotOptimize(
            spectrumlevel::RawFromPeak(peak, spectrumlevel::kDemoAgcReading, constants));
    }
    state.SetItemsProcessed(state.iterations() * (last - first + 1));
}
BENCHMARK(BM_SpectrumLevel)->Arg(2048)->Arg(65536);

// The baseline: the largest bin of the same window and nothing else.
void BM_PlainMaximum(benchmark::State &state) {
    const auto bins = MakeBins(state.range(0));
    std::int32_t first = 0, last = 0;
    spectrumlevel::PassbandBins(1, kSpan, kWidth, 0, std::int32_t(bins.size()), first, last);
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

} // namespace

K740_BENCHMARK_MAIN();
