// One point's sweep at 7.1 MHz over -130..-20 dBm with the window's defaults
// (adaptive steps of 0.5 to 4 dB, or fixed 1 dB steps; 150 ms settle; up to
// 5 readings) against the simulated generator over its socket. The live
// reading is the one the main window computes from the module's spectra, 20
// a second, on the demo receiver and on a second simulated receiver with
// another front-end error.
//
// Counters: s_per_point (what an operator waits per point; adaptive steps
// must stay within 15 s), steps (levels set), readings (live readings used)
// and worst_db, the largest difference between the generator's level and
// the swept table's dBm for the live RAW at ten levels from -120 to -30 dBm.
#include "benchsupport.h"

#include "receiver/spectrumlevel.h"
#include "generator/sweepengine.h"
#include "k740sim.h"
#include "platform/libraryloader.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr std::uint64_t kPoint = 7'100'000;

// The second receiver: other level constants, another front-end error.
const char kRadio[] = "[receiver]\nserial = SWEEP2\nlow = 100000\nhigh = 30000000\nseed = 99\n"
                      "eeprom = 860 760 540 -800 720\n";

struct Sim {
    decltype(&k740sim_ScpiOpen) open;
    decltype(&k740sim_ScpiClose) close;
    decltype(&k740sim_Tune) tune;
    decltype(&k740sim_Spectrum) spectrum;
    decltype(&k740sim_AgcReading) agc;
    decltype(&k740sim_SetGenerator) setGenerator;

    static const Sim &Get() {
        static QTemporaryDir dir;
        static const Sim sim = [] {
            const QString config = dir.filePath(QStringLiteral("radio.ini"));
            QFile file(config);
            if (file.open(QIODevice::WriteOnly)) file.write(kRadio);
            file.close();
            qputenv("K740SIM_CONFIG", config.toLocal8Bit());
            const platform::LibraryHandle library = platform::LoadLibraryByName("libk740sim.so");
            auto get = [&](const char *name) { return platform::GetProcAddress(library, name); };
            return Sim{reinterpret_cast<decltype(open)>(get("k740sim_ScpiOpen")),
                       reinterpret_cast<decltype(close)>(get("k740sim_ScpiClose")),
                       reinterpret_cast<decltype(tune)>(get("k740sim_Tune")),
                       reinterpret_cast<decltype(spectrum)>(get("k740sim_Spectrum")),
                       reinterpret_cast<decltype(agc)>(get("k740sim_AgcReading")),
                       reinterpret_cast<decltype(setGenerator)>(get("k740sim_SetGenerator"))};
        }();
        return sim;
    }
    bool Valid() const { return open && close && tune && spectrum && agc && setGenerator; }

    // The live RAW as the main window takes it from one of the module's
    // spectra (24 kHz in 480 bins, the default passband of 3 kHz).
    std::uint8_t LiveRaw(int rx) const {
        std::array<float, 480> bins{};
        spectrum(rx, 24000, int(bins.size()), bins.data());
        double peak = 0;
        SpectrumLevel::SpectrumPeakDb({24000, std::int64_t(bins.size() * 4), bins.data()}, 1, 3000,
                                      0, peak);
        SpectrumLevel::LevelConstants constants;
        std::int32_t reading = SpectrumLevel::kDemoAgcReading;
        if (rx == 1) {
            constants = {860, 760, 540, -800, 720};
            reading = agc(rx);
        }
        return SpectrumLevel::RawFromPeak(peak, reading, constants);
    }
};

void BM_SweepOnePoint(benchmark::State &state) {
    const Sim &sim = Sim::Get();
    if (!sim.Valid()) {
        state.SkipWithError("libk740sim.so not found beside the benchmark");
        return;
    }
    const int rx = int(state.range(0));
    TSweepSettings settings;
    settings.Adaptive = state.range(1) != 0;
    settings.Instrument.Link = QString("TCPIP0::127.0.0.1::%1::SOCKET").arg(sim.open());
    sim.tune(rx, kPoint);
    double steps = 0, readings = 0, seconds = 0, worst = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        TSweepEngine engine;
        QTimer live; // the module's 20 spectra a second
        QObject::connect(&live, &QTimer::timeout, [&] { engine.AddReading(sim.LiveRaw(rx)); });
        live.start(50);
        QEventLoop loop;
        bool completed = false;
        QObject::connect(&engine, &TSweepEngine::Finished, &loop, [&](bool done, const QString &) {
            completed = done;
            loop.quit();
        });
        if (!engine.Start(settings, kPoint)) state.SkipWithError("sweep did not start");
        loop.exec();
        seconds += double(clock.elapsed()) / 1000;
        if (!completed) state.SkipWithError("sweep did not complete");
        steps += double(engine.Readings().size());
        readings += double(engine.LiveReadingCount());

        // The swept table against the generator, as the live dBm text shows it.
        state.PauseTiming();
        std::array<double, 256> table{};
        ApplySweep(engine.Readings(), table);
        for (int i = 0; i < 10; ++i) {
            const double dbm = -120 + i * 10 - 0.3 * i;
            sim.setGenerator(1, kPoint, dbm);
            worst = std::max(worst, std::abs(table[sim.LiveRaw(rx)] - dbm));
        }
        state.ResumeTiming();
    }
    sim.close();
    const double runs = double(state.iterations());
    state.counters["s_per_point"] = seconds / runs;
    state.counters["steps"] = steps / runs;
    state.counters["readings"] = readings / runs;
    state.counters["worst_db"] = worst;
}
// Arguments: receiver (0 the demo receiver, 1 the second), adaptive steps.
BENCHMARK(BM_SweepOnePoint)
    ->ArgNames({"receiver", "adaptive"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

K740_BENCHMARK_MAIN()
