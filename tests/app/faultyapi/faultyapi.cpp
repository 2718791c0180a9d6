// A receiver API library for the main window's failure paths: it forwards
// every call to the real stand-in (which keeps the call log) and fails where
// the environment asks it to:
//   K7FAULT_RECORD_SIZE=n  K7GetRadioList2 reports record size n
//   K7FAULT_OPEN=1         K7Open answers 0
//   K7FAULT_EEP=1          K7GetEEP answers 0
#include "zxk740api.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

namespace {

void *Real(const char *name) {
    static void *library = dlopen(K740_BIN_DIR "/ZXK740API.dll", RTLD_NOW | RTLD_LOCAL);
    return library ? dlsym(library, name) : nullptr;
}

template <typename Function> Function Forward(const char *name) {
    return reinterpret_cast<Function>(Real(name));
}

bool Fault(const char *name) {
    const char *value = std::getenv(name);
    return value && std::strcmp(value, "1") == 0;
}

} // namespace

#define EXPORT extern "C" K740_EXPORT

EXPORT int32_t K7GetRadioList2(void *buffer, int32_t bufferSize, uint32_t *recordSize) {
    const int32_t count =
        Forward<decltype(&K7GetRadioList2)>("K7GetRadioList2")(buffer, bufferSize, recordSize);
    if (const char *size = std::getenv("K7FAULT_RECORD_SIZE"); size && recordSize)
        *recordSize = uint32_t(std::strtoul(size, nullptr, 10));
    return count;
}
EXPORT int32_t K7Open(const char *serial) {
    if (Fault("K7FAULT_OPEN")) return 0;
    return Forward<decltype(&K7Open)>("K7Open")(serial);
}
EXPORT int32_t K7GetEEP(int32_t handle, uint8_t *eeprom) {
    const int32_t result = Forward<decltype(&K7GetEEP)>("K7GetEEP")(handle, eeprom);
    return Fault("K7FAULT_EEP") ? 0 : result;
}
EXPORT int32_t K7GetInfo(int32_t handle, void *record) {
    return Forward<decltype(&K7GetInfo)>("K7GetInfo")(handle, record);
}
EXPORT int32_t SetPower(int32_t handle, int32_t on) {
    return Forward<decltype(&SetPower)>("SetPower")(handle, on);
}
EXPORT int32_t SetAGC(int32_t handle, int32_t agc) {
    return Forward<decltype(&SetAGC)>("SetAGC")(handle, agc);
}
EXPORT int32_t SetRFAmp(int32_t handle, int32_t amp) {
    return Forward<decltype(&SetRFAmp)>("SetRFAmp")(handle, amp);
}
EXPORT int32_t SetFilterVal(int32_t handle, int32_t filter) {
    return Forward<decltype(&SetFilterVal)>("SetFilterVal")(handle, filter);
}
EXPORT int32_t SetAtten(int32_t handle, int32_t atten) {
    return Forward<decltype(&SetAtten)>("SetAtten")(handle, atten);
}
EXPORT int32_t SetFrequency(int32_t handle, uint32_t word) {
    return Forward<decltype(&SetFrequency)>("SetFrequency")(handle, word);
}
EXPORT uint32_t GetFrequency(int32_t handle) {
    return Forward<decltype(&GetFrequency)>("GetFrequency")(handle);
}
EXPORT int32_t GetRawSignalStrength(int32_t handle) {
    return Forward<decltype(&GetRawSignalStrength)>("GetRawSignalStrength")(handle);
}
EXPORT uint32_t K7GetInternalRSSI(int32_t handle) {
    return Forward<decltype(&K7GetInternalRSSI)>("K7GetInternalRSSI")(handle);
}
EXPORT int32_t CloseRadioDevice(int32_t handle) {
    return Forward<decltype(&CloseRadioDevice)>("CloseRadioDevice")(handle);
}
