// The C interface of smetersdk.dll: handles, argument checks and result
// codes around the calibration sets of calset.h.
#include "smetersdk.h"
#include "smetersdk_test.h"

#include "calfile.h"
#include "calset.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

using namespace smetersdk;

namespace {

std::mutex gMutex;
std::unordered_map<int32_t, std::unique_ptr<CalSet>> gSets;
int32_t gNextHandle = 0;

bool gRecording = false;
std::string gCallLog;
constexpr size_t kCallLogLimit = 1 << 20;

void record(const char *name) noexcept {
    if (gRecording && gCallLog.size() < kCallLogLimit) {
        try {
            gCallLog += name;
            gCallLog += '\n';
        } catch (...) {
            gRecording = false;
        }
    }
}

// Never fails short of 2^31 sets open at once.
int32_t addSet(std::unique_ptr<CalSet> set) {
    while (gSets.count(gNextHandle))
        gNextHandle = gNextHandle == INT32_MAX ? 0 : gNextHandle + 1;
    const int32_t handle = gNextHandle;
    gNextHandle = gNextHandle == INT32_MAX ? 0 : gNextHandle + 1;
    gSets.emplace(handle, std::move(set));
    return handle;
}

CalSet *findSet(int32_t cal) {
    const auto it = gSets.find(cal);
    return it == gSets.end() ? nullptr : it->second.get();
}

// Looks up receiver and mode; answers SMS_OK or the failure code.
int32_t findMode(CalSet &set, const ReceiverName &name, int32_t mode, PointMap *&points) {
    const auto receiver = set.receivers.find(name);
    if (receiver == set.receivers.end()) return SMS_ERR_RECEIVER;
    const auto found = receiver->second.find(mode);
    if (found == receiver->second.end()) return SMS_ERR_MODE;
    points = &found->second;
    return SMS_OK;
}

template <typename T> int32_t listBytes(size_t count) {
    const uint64_t bytes = uint64_t(count) * sizeof(T);
    return bytes > uint64_t(INT32_MAX) ? INT32_MAX - INT32_MAX % int32_t(sizeof(T))
                                       : static_cast<int32_t>(bytes);
}

} // namespace

extern "C" {

K740_EXPORT int32_t LoadCALFile(const char *fileName) {
    try {
        std::lock_guard lock(gMutex);
        record("LoadCALFile");
        auto set = std::make_unique<CalSet>();
        if (fileName) {
            const int32_t result = LoadFile(fileName, *set);
            if (result != SMS_OK) return result;
        }
        return addSet(std::move(set));
    } catch (...) {
        return SMS_ERR_LOAD;
    }
}

K740_EXPORT int32_t Unload(int32_t cal) {
    std::lock_guard lock(gMutex);
    record("Unload");
    return gSets.erase(cal) ? SMS_OK : SMS_ERR_HANDLE;
}

K740_EXPORT int32_t GetCS(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                          void *cs) {
    std::lock_guard lock(gMutex);
    record("GetCS");
    CalSet *set = findSet(cal);
    if (!set) return SMS_ERR_HANDLE;
    ReceiverName name;
    if (!MakeReceiverName(receiver, name)) return SMS_ERR_RECEIVER_NAME;
    if (!cs) return SMS_ERR_CS;
    auto *bytes = static_cast<unsigned char *>(cs);
    int32_t size = 0;
    std::memcpy(&size, bytes + SMS_CS_OFFSET_SIZE, sizeof size);
    if (size != SMS_CS_SIZE) return SMS_ERR_CS_SIZE;

    auto &last = set->lastRead;
    if (!last.valid || last.mode != mode || last.frequency != frequency || last.name != name) {
        PointMap *points = nullptr;
        const int32_t result = findMode(*set, name, mode, points);
        if (result != SMS_OK) return result;
        const auto point = points->find(frequency);
        if (point == points->end()) return SMS_ERR_FREQUENCY;
        last.valid = true;
        last.name = name;
        last.mode = mode;
        last.frequency = frequency;
        last.table = &point->second;
    }
    const double value = (*last.table)[bytes[SMS_CS_OFFSET_RAW]];
    std::memcpy(bytes + SMS_CS_OFFSET_DBM, &value, sizeof value);
    return SMS_OK;
}

// A variant for tests of the program's binding leaves out one entry point.
#ifndef SMETERSDK_WITHOUT_PUTDBMS
K740_EXPORT int32_t PutDBMs(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                            const double *dbm) {
    try {
        std::lock_guard lock(gMutex);
        record("PutDBMs");
        CalSet *set = findSet(cal);
        if (!set) return SMS_ERR_HANDLE;
        ReceiverName name;
        if (!MakeReceiverName(receiver, name)) return SMS_ERR_RECEIVER_NAME;
        if (!dbm) return SMS_ERR_DBM_ARRAY;
        Table table;
        std::memcpy(table.data(), dbm, sizeof table);
        for (double value : table) {
            if (!std::isfinite(value)) return SMS_ERR_DBM_ARRAY;
        }
        for (double value : table) {
            if (!IsValidValue(value)) return SMS_ERR_DBM_RANGE;
        }
        set->lastRead.valid = false;
        set->receivers[name][mode][frequency] = table;
        return SMS_OK;
    } catch (...) {
        return SMS_ERR_WRITE; // out of memory
    }
}
#endif

K740_EXPORT int32_t SaveCALFile(int32_t cal, const char *fileName) {
    try {
        std::lock_guard lock(gMutex);
        record("SaveCALFile");
        const CalSet *set = findSet(cal);
        if (!set) return SMS_ERR_HANDLE;
        return SaveFile(fileName, *set);
    } catch (...) {
        return SMS_ERR_WRITE;
    }
}

K740_EXPORT int32_t GetModes(int32_t cal, const char *receiver, int32_t *buffer,
                             int32_t bufferSize) {
    std::lock_guard lock(gMutex);
    record("GetModes");
    CalSet *set = findSet(cal);
    if (!set) return SMS_ERR_HANDLE;
    ReceiverName name;
    if (!MakeReceiverName(receiver, name)) return SMS_ERR_RECEIVER_NAME;
    if (bufferSize < 0 || (!buffer && bufferSize > 0)) return SMS_ERR_BUFFER;
    const auto found = set->receivers.find(name);
    if (found == set->receivers.end()) return SMS_ERR_RECEIVER;
    const size_t room = static_cast<size_t>(bufferSize) / sizeof(int32_t);
    size_t i = 0;
    for (auto it = found->second.begin(); it != found->second.end() && i < room; ++it, ++i)
        std::memcpy(buffer + i, &it->first, sizeof(int32_t));
    return listBytes<int32_t>(found->second.size());
}

K740_EXPORT int32_t GetFrequencies(int32_t cal, const char *receiver, int32_t mode,
                                   uint64_t *buffer, int32_t bufferSize) {
    std::lock_guard lock(gMutex);
    record("GetFrequencies");
    CalSet *set = findSet(cal);
    if (!set) return SMS_ERR_HANDLE;
    ReceiverName name;
    if (!MakeReceiverName(receiver, name)) return SMS_ERR_RECEIVER_NAME;
    if (bufferSize < 0 || (!buffer && bufferSize > 0)) return SMS_ERR_BUFFER;
    PointMap *points = nullptr;
    const int32_t result = findMode(*set, name, mode, points);
    if (result != SMS_OK) return result;
    const size_t room = static_cast<size_t>(bufferSize) / sizeof(uint64_t);
    size_t i = 0;
    for (auto it = points->begin(); it != points->end() && i < room; ++it, ++i)
        std::memcpy(buffer + i, &it->first, sizeof(uint64_t));
    return listBytes<uint64_t>(points->size());
}

K740_EXPORT int32_t DeleteFrequency(int32_t cal, const char *receiver, int32_t mode,
                                    uint64_t frequency) {
    std::lock_guard lock(gMutex);
    record("DeleteFrequency");
    CalSet *set = findSet(cal);
    if (!set) return SMS_ERR_HANDLE;
    ReceiverName name;
    if (!MakeReceiverName(receiver, name)) return SMS_ERR_RECEIVER_NAME;
    const auto found = set->receivers.find(name);
    if (found == set->receivers.end()) return SMS_ERR_RECEIVER;
    const auto modeIt = found->second.find(mode);
    if (modeIt == found->second.end()) return SMS_ERR_MODE;
    if (modeIt->second.erase(frequency) == 0) return SMS_ERR_DELETE;
    set->lastRead.valid = false;
    if (modeIt->second.empty()) found->second.erase(modeIt);
    if (found->second.empty()) set->receivers.erase(found);
    return SMS_OK;
}

K740_EXPORT void SmsdkTestRecordCalls(int32_t on) {
    std::lock_guard lock(gMutex);
    gRecording = on != 0;
    gCallLog.clear();
}

K740_EXPORT void SmsdkTestFailSave(int32_t step) {
    std::lock_guard lock(gMutex);
    smetersdk::FailSaveAt(step);
}

K740_EXPORT int32_t SmsdkTestCallLog(char *buffer, int32_t bufferSize) {
    std::lock_guard lock(gMutex);
    if (buffer && bufferSize > 0) {
        const size_t n = std::min(gCallLog.size(), static_cast<size_t>(bufferSize) - 1);
        std::memcpy(buffer, gCallLog.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(gCallLog.size());
}

} // extern "C"
