// A sweep of one point with the window's defaults (-130 to -20 dBm in 1 dB
// steps, 150 ms settle, median of 5) against the simulated generator over its
// socket, fed by a live reading at the module's spectrum rate. The counter
// ms_per_step is what an operator waits per level; 111 steps must take less
// than a minute.
#include "benchsupport.h"

#include "generator/sweepengine.h"
#include "k740sim.h"
#include "platform/libraryloader.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

template <typename F> F Sim(const char *name) {
    static platform::LibraryHandle library = platform::LoadLibraryByName("libk740sim.so");
    return reinterpret_cast<F>(platform::GetProcAddress(library, name));
}

void BM_SweepOnePoint(benchmark::State &state) {
    const auto open = Sim<decltype(&k740sim_ScpiOpen)>("k740sim_ScpiOpen");
    const auto close = Sim<decltype(&k740sim_ScpiClose)>("k740sim_ScpiClose");
    const auto tune = Sim<decltype(&k740sim_Tune)>("k740sim_Tune");
    const auto raw = Sim<decltype(&k740sim_RawSignalStrength)>("k740sim_RawSignalStrength");
    if (!open || !close || !tune || !raw) {
        state.SkipWithError("libk740sim.so not found beside the benchmark");
        return;
    }
    TSweepSettings settings;
    settings.Instrument.Link = QString("TCPIP0::127.0.0.1::%1::SOCKET").arg(open());
    tune(0, 7'100'000);
    std::size_t steps = 0;
    QElapsedTimer clock;
    qint64 elapsed = 0;
    for (auto _ : state) {
        clock.start();
        TSweepEngine engine;
        QTimer live; // the module's 20 spectra a second
        QObject::connect(&live, &QTimer::timeout, [&] { engine.AddReading(std::uint8_t(raw(0))); });
        live.start(50);
        QEventLoop loop;
        QObject::connect(&engine, &TSweepEngine::Finished, &loop, &QEventLoop::quit);
        if (!engine.Start(settings, 7'100'000)) state.SkipWithError("sweep did not start");
        loop.exec();
        elapsed += clock.elapsed();
        steps += engine.Readings().size();
    }
    close();
    state.counters["steps"] = double(steps);
    state.counters["ms_per_step"] = steps ? double(elapsed) / double(steps) : 0.0;
}
BENCHMARK(BM_SweepOnePoint)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

K740_BENCHMARK_MAIN()
