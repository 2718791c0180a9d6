// The receiver API over the simulated radio: handles, records and words.
#include "zxk740api.h"
#include "zxk740api_test.h"

#include "calllog.h"
#include "k740sim.h"

#include <cstring>
#include <map>
#include <mutex>

namespace {

struct State {
    std::mutex mutex;
    std::map<std::int32_t, std::int32_t> open; // handle -> receiver index
    std::int32_t nextHandle = 1;
    bool forceCount = false;
    std::int32_t forcedCount = 0;
    std::uint32_t forcedRecordSize = 0;
    k7api::CallLog log;
};

State &state() {
    static State s;
    return s;
}

// The receiver behind an open handle, or -1.
std::int32_t receiverOf(std::int32_t handle) {
    State &s = state();
    std::lock_guard guard(s.mutex);
    const auto it = s.open.find(handle);
    return it == s.open.end() ? -1 : it->second;
}

void put32(std::uint8_t *p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t get32(const std::uint8_t *p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void fillDescription(std::uint8_t *record, const k740sim_info &info) {
    std::memset(record, 0, K7_DESCRIPTION_SIZE);
    put32(record, K7_DESCRIPTION_SIZE);
    std::memcpy(record + K7_DESC_SERIAL, info.serial, std::strlen(info.serial));
    std::memcpy(record + K7_DESC_DEVICE_TYPE, info.deviceType, std::strlen(info.deviceType));
    put32(record + K7_DESC_LOWEST, std::uint32_t(info.lowestHz));
    put32(record + K7_DESC_HIGHEST, std::uint32_t(info.highestHz));
    put32(record + K7_DESC_STEP, info.stepHz);
}

void logCall(const char *name, const std::string &arguments) {
    state().log.add(name, arguments);
}

// The settings calls differ only in the control they set.
std::int32_t setControl(const char *name, std::int32_t handle, std::int32_t control,
                        std::int32_t value) {
    logCall(name, k7api::Arguments(handle, value));
    const std::int32_t rx = receiverOf(handle);
    if (rx < 0) return 0;
    k740sim_SetControl(rx, control, value);
    return 1;
}

} // namespace

extern "C" {

int32_t K7GetRadioList2(void *buffer, int32_t bufferSize, uint32_t *recordSize) {
    logCall("K7GetRadioList2", k7api::Arguments(bufferSize));
    if (recordSize) {
        State &s = state();
        std::lock_guard guard(s.mutex);
        *recordSize = s.forcedRecordSize ? s.forcedRecordSize : K7_DESCRIPTION_SIZE;
    }
    const std::int32_t count = k740sim_ReceiverCount();
    std::int32_t written = 0;
    if (buffer && bufferSize > 0) {
        const std::int32_t room = bufferSize / K7_DESCRIPTION_SIZE;
        auto *out = static_cast<std::uint8_t *>(buffer);
        for (; written < count && written < room; ++written) {
            k740sim_info info;
            k740sim_GetInfo(written, &info);
            fillDescription(out + std::size_t(written) * K7_DESCRIPTION_SIZE, info);
        }
    } else if (!buffer) {
        written = count;
    }
    State &s = state();
    std::lock_guard guard(s.mutex);
    return s.forceCount ? s.forcedCount : written;
}

int32_t K7Open(const char *serial) {
    logCall("K7Open", serial ? "\"" + std::string(serial) + "\"" : std::string("NULL"));
    const std::int32_t rx = k740sim_FindReceiver(serial);
    if (rx < 0) return 0;
    State &s = state();
    std::lock_guard guard(s.mutex);
    for (const auto &[handle, receiver] : s.open)
        if (receiver == rx) return 0;
    const std::int32_t handle = s.nextHandle;
    s.nextHandle = s.nextHandle == INT32_MAX ? 1 : s.nextHandle + 1;
    s.open[handle] = rx;
    return handle;
}

int32_t K7GetEEP(int32_t handle, uint8_t *eeprom) {
    logCall("K7GetEEP", k7api::Arguments(handle));
    const std::int32_t rx = receiverOf(handle);
    if (rx < 0 || !eeprom) return 0;
    return k740sim_GetEeprom(rx, eeprom);
}

int32_t K7GetInfo(int32_t handle, void *record) {
    logCall("K7GetInfo", k7api::Arguments(handle));
    const std::int32_t rx = receiverOf(handle);
    auto *bytes = static_cast<std::uint8_t *>(record);
    if (rx < 0 || !bytes || get32(bytes) != K7_DESCRIPTION_SIZE) return 0;
    k740sim_info info;
    if (!k740sim_GetInfo(rx, &info)) return 0;
    fillDescription(bytes, info);
    return 1;
}

int32_t SetPower(int32_t handle, int32_t on) {
    return setControl("SetPower", handle, K740SIM_POWER, on);
}

int32_t SetAGC(int32_t handle, int32_t agc) {
    return setControl("SetAGC", handle, K740SIM_AGC, agc);
}

#if !defined(K7API_NO_SETRFAMP)
int32_t SetRFAmp(int32_t handle, int32_t amp) {
    return setControl("SetRFAmp", handle, K740SIM_RFAMP, amp);
}
#endif

int32_t SetFilterVal(int32_t handle, int32_t filter) {
    return setControl("SetFilterVal", handle, K740SIM_FILTER, filter);
}

int32_t SetAtten(int32_t handle, int32_t atten) {
    return setControl("SetAtten", handle, K740SIM_ATTEN, atten);
}

int32_t SetFrequency(int32_t handle, uint32_t word) {
    logCall("SetFrequency", k7api::Arguments(handle, word));
    const std::int32_t rx = receiverOf(handle);
    if (rx < 0) return 0;
    k740sim_Tune(rx, k7_DecodeFrequency(word));
    return 1;
}

uint32_t GetFrequency(int32_t handle) {
    logCall("GetFrequency", k7api::Arguments(handle));
    const std::int32_t rx = receiverOf(handle);
    return rx < 0 ? 0 : k7_TunedFrequencyWord(k740sim_TunedFrequency(rx));
}

int32_t GetRawSignalStrength(int32_t handle) {
    logCall("GetRawSignalStrength", k7api::Arguments(handle));
    const std::int32_t rx = receiverOf(handle);
    return rx < 0 ? 0 : k740sim_RawSignalStrength(rx);
}

uint32_t K7GetInternalRSSI(int32_t handle) {
    logCall("K7GetInternalRSSI", k7api::Arguments(handle));
    const std::int32_t rx = receiverOf(handle);
    return rx < 0 ? 0 : std::uint32_t(k740sim_AgcReading(rx)) << 16;
}

int32_t CloseRadioDevice(int32_t handle) {
    logCall("CloseRadioDevice", k7api::Arguments(handle));
    State &s = state();
    std::lock_guard guard(s.mutex);
    return s.open.erase(handle) ? 1 : 0;
}

int32_t k7test_CallLog(char *buffer, int32_t size) {
    const std::string text = state().log.text();
    if (buffer && size > 0) {
        const std::size_t n = std::min(text.size(), std::size_t(size) - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return std::int32_t(text.size());
}

void k7test_ResetCallLog(void) {
    state().log.clear();
}

void k7test_ForceListCount(int32_t enable, int32_t count) {
    State &s = state();
    std::lock_guard guard(s.mutex);
    s.forceCount = enable != 0;
    s.forcedCount = count;
}

void k7test_ForceRecordSize(uint32_t size) {
    State &s = state();
    std::lock_guard guard(s.mutex);
    s.forcedRecordSize = size;
}

void k7test_Reset(void) {
    {
        State &s = state();
        std::lock_guard guard(s.mutex);
        s.open.clear();
        s.nextHandle = 1;
        s.forceCount = false;
        s.forcedRecordSize = 0;
    }
    state().log.clear();
    k740sim_Reset();
}

} // extern "C"
