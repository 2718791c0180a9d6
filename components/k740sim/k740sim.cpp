// The C interface over the one model of the process.
#include "k740sim.h"

#include "remoteserver.h"
#include "scpiinterpreter.h"
#include "simconfig.h"
#include "simreceiver.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

using k740sim::Generator;
using k740sim::SimReceiver;

struct Model {
    std::vector<SimReceiver> receivers;
    Generator generator;
    std::uint32_t generatorChanges = 0;
    std::uint64_t seed = 1;

    void load() {
        const k740sim::SimConfig config = k740sim::LoadSimConfig();
        receivers.clear();
        for (std::size_t i = 0; i < config.receivers.size(); ++i)
            receivers.emplace_back(config.receivers[i], i == 0);
        generator = Generator{};
        ++generatorChanges;
        reseed(config.seed);
    }
    void reseed(std::uint64_t s) {
        seed = s;
        for (std::size_t i = 0; i < receivers.size(); ++i)
            receivers[i].reseed(seed, std::uint32_t(i));
    }
    SimReceiver *at(std::int32_t rx) {
        if (rx < 0 || std::size_t(rx) >= receivers.size()) return nullptr;
        return &receivers[std::size_t(rx)];
    }
};

std::mutex &lock() {
    static std::mutex m;
    return m;
}

// Only call with the lock held.
Model &model() {
    static Model m = [] {
        Model loaded;
        loaded.load();
        return loaded;
    }();
    return m;
}

// Answers f(receiver) under the lock, or zero for an unknown receiver.
template <typename F> auto Query(std::int32_t rx, F &&f) {
    using Result = decltype(f(std::declval<const SimReceiver &>()));
    std::lock_guard guard(lock());
    const SimReceiver *r = model().at(rx);
    return r ? f(*r) : Result{};
}

} // namespace

extern "C" {

void k740sim_Reset(void) {
    {
        std::lock_guard guard(lock());
        model().load();
    }
    k740sim::Interpreter().Clear();
}

void k740sim_SetSeed(uint64_t seed) {
    std::lock_guard guard(lock());
    model().reseed(seed);
}

int32_t k740sim_ReceiverCount(void) {
    std::lock_guard guard(lock());
    return int32_t(model().receivers.size());
}

int32_t k740sim_FindReceiver(const char *serial) {
    if (!serial) serial = "";
    std::lock_guard guard(lock());
    const auto &receivers = model().receivers;
    for (std::size_t i = 0; i < receivers.size(); ++i)
        if (std::strcmp(receivers[i].info().serial, serial) == 0) return int32_t(i);
    return -1;
}

int32_t k740sim_GetInfo(int32_t rx, k740sim_info *info) {
    std::lock_guard guard(lock());
    const SimReceiver *r = model().at(rx);
    if (!r || !info) return 0;
    *info = r->info();
    return 1;
}

int32_t k740sim_GetEeprom(int32_t rx, uint8_t *eeprom) {
    std::lock_guard guard(lock());
    const SimReceiver *r = model().at(rx);
    if (!r || !eeprom) return 0;
    r->fillEeprom(eeprom);
    return 1;
}

uint64_t k740sim_Tune(int32_t rx, uint64_t hz) {
    std::lock_guard guard(lock());
    SimReceiver *r = model().at(rx);
    return r ? r->tune(hz) : 0;
}

uint64_t k740sim_TunedFrequency(int32_t rx) {
    return Query(rx, [&](const SimReceiver &r) { return r.tuned(); });
}

void k740sim_SetControl(int32_t rx, int32_t control, int32_t value) {
    std::lock_guard guard(lock());
    if (SimReceiver *r = model().at(rx)) r->setControl(control, value);
}

int32_t k740sim_Control(int32_t rx, int32_t control) {
    return Query(rx, [&](const SimReceiver &r) { return r.control(control); });
}

void k740sim_SetPassband(int32_t rx, int32_t mode, int32_t widthHz, int32_t offsetHz) {
    std::lock_guard guard(lock());
    if (SimReceiver *r = model().at(rx)) r->setPassband(mode, widthHz, offsetHz);
}

void k740sim_GetPassband(int32_t rx, int32_t *mode, int32_t *widthHz, int32_t *offsetHz) {
    std::lock_guard guard(lock());
    if (const SimReceiver *r = model().at(rx)) r->passband(mode, widthHz, offsetHz);
}

void k740sim_SetGenerator(int32_t on, uint64_t hz, double dbm) {
    std::lock_guard guard(lock());
    Model &m = model();
    const Generator g{on != 0, hz, dbm};
    if (g.on == m.generator.on && g.hz == m.generator.hz && g.dbm == m.generator.dbm) return;
    m.generator = g;
    ++m.generatorChanges;
}

uint32_t k740sim_GeneratorChanges(void) {
    std::lock_guard guard(lock());
    return model().generatorChanges;
}

int32_t k740sim_ScpiOpen(void) {
    return k740sim::Server().Open();
}

void k740sim_ScpiClose(void) {
    k740sim::Server().Close();
}

int32_t k740sim_ScpiPort(void) {
    return k740sim::Server().ScpiPort();
}

int32_t k740sim_AdapterPort(void) {
    return k740sim::Server().AdapterPort();
}

int32_t k740sim_SerialAdapterPath(char *path, int32_t size) {
    const std::string text = k740sim::Server().SerialPath();
    if (path && size > 0) {
        const std::size_t n = std::min(text.size(), std::size_t(size - 1));
        std::memcpy(path, text.data(), n);
        path[n] = 0;
    }
    return int32_t(text.size());
}

int32_t k740sim_ScpiExecute(const char *line, char *answer, int32_t size) {
    if (!line) return -1;
    try {
        const std::string text = k740sim::Interpreter().Execute(line);
        if (answer && size > 0) {
            const std::size_t n = std::min(text.size(), std::size_t(size - 1));
            std::memcpy(answer, text.data(), n);
            answer[n] = 0;
        }
        return int32_t(text.size());
    } catch (...) {
        return -1;
    }
}

void k740sim_GetGenerator(int32_t *on, uint64_t *hz, double *dbm) {
    std::lock_guard guard(lock());
    const Generator &g = model().generator;
    if (on) *on = g.on ? 1 : 0;
    if (hz) *hz = g.hz;
    if (dbm) *dbm = g.dbm;
}

double k740sim_NoiseDensity(int32_t rx) {
    return Query(rx, [&](const SimReceiver &r) { return r.noiseDensity(); });
}

void k740sim_SetNoiseDensity(int32_t rx, double dbmPerHz) {
    std::lock_guard guard(lock());
    if (SimReceiver *r = model().at(rx)) r->setNoiseDensity(dbmPerHz);
}

double k740sim_FrontEndError(int32_t rx, uint64_t hz) {
    return Query(rx, [&](const SimReceiver &r) { return r.frontEndError(hz); });
}

double k740sim_PassbandPower(int32_t rx) {
    return Query(rx, [&](const SimReceiver &r) { return r.passbandPower(model().generator); });
}

int32_t k740sim_AgcReading(int32_t rx) {
    return Query(rx, [&](const SimReceiver &r) { return r.agcReading(model().generator); });
}

void k740sim_ForceAgcReading(int32_t rx, int32_t reading) {
    std::lock_guard guard(lock());
    if (SimReceiver *r = model().at(rx)) r->forceAgcReading(reading);
}

double k740sim_GainForReading(int32_t rx, int32_t reading) {
    return Query(rx, [&](const SimReceiver &r) { return r.gainForReading(reading); });
}

double k740sim_Gain(int32_t rx) {
    return Query(rx, [&](const SimReceiver &r) {
        return r.gainForReading(r.agcReading(model().generator));
    });
}

int32_t k740sim_RawSignalStrength(int32_t rx) {
    return Query(rx, [&](const SimReceiver &r) { return r.rawSignalStrength(model().generator); });
}

int32_t k740sim_Spectrum(int32_t rx, uint32_t spanHz, int32_t bins, float *power) {
    std::lock_guard guard(lock());
    SimReceiver *r = model().at(rx);
    return r ? r->spectrum(model().generator, spanHz, bins, power) : 0;
}

} // extern "C"
