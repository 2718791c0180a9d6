// Producing one spectrum of the simulated radio: the module sends about 20 a
// second on the GUI thread, so one must cost well under a millisecond.
#include "benchsupport.h"

#include "k740sim.h"
#include "platform/libraryloader.h"

#include <vector>

namespace {

struct Sim {
    platform::LibraryHandle library = platform::LoadLibraryByName("libk740sim.so");
    decltype(&k740sim_Spectrum) spectrum =
        reinterpret_cast<decltype(spectrum)>(platform::GetProcAddress(library, "k740sim_Spectrum"));
    decltype(&k740sim_SetGenerator) setGenerator = reinterpret_cast<decltype(setGenerator)>(
        platform::GetProcAddress(library, "k740sim_SetGenerator"));
    decltype(&k740sim_Tune) tune =
        reinterpret_cast<decltype(tune)>(platform::GetProcAddress(library, "k740sim_Tune"));
};

void BM_Spectrum(benchmark::State &state) {
    static Sim sim;
    if (!sim.spectrum || !sim.setGenerator || !sim.tune) {
        state.SkipWithError("libk740sim.so not found beside the benchmark");
        return;
    }
    const auto bins = std::int32_t(state.range(0));
    std::vector<float> power(static_cast<std::size_t>(bins));
    sim.tune(0, 7'100'000);
    sim.setGenerator(1, 7'100'700, -73);
    for (auto _ : state) {
        sim.spectrum(0, 12000, bins, power.data());
        benchmark::DoNotOptimize(power.data());
    }
}
BENCHMARK(BM_Spectrum)->Arg(512)->Arg(2048)->Arg(8192)->Unit(benchmark::kMicrosecond);

} // namespace

K740_BENCHMARK_MAIN();
