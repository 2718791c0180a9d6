// The receiver API stand-in as the tests of its C ABI reach it: loaded through
// the platform loader, each function looked up by name.
#pragma once

#include "platform/libraryloader.h"
#include "support/testsupport.h"
#include "zxk740api.h"
#include "zxk740api_test.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace k7apitest {

struct Api {
    platform::LibraryHandle library = nullptr;
#define K7_FN(name) decltype(&::name) name = nullptr
    K7_FN(K7GetRadioList2);
    K7_FN(K7Open);
    K7_FN(K7GetEEP);
    K7_FN(K7GetInfo);
    K7_FN(SetPower);
    K7_FN(SetAGC);
    K7_FN(SetRFAmp);
    K7_FN(SetFilterVal);
    K7_FN(SetAtten);
    K7_FN(SetFrequency);
    K7_FN(GetFrequency);
    K7_FN(GetRawSignalStrength);
    K7_FN(K7GetInternalRSSI);
    K7_FN(CloseRadioDevice);
    K7_FN(k7test_CallLog);
    K7_FN(k7test_ResetCallLog);
    K7_FN(k7test_ForceListCount);
    K7_FN(k7test_ForceRecordSize);
    K7_FN(k7test_Reset);
#undef K7_FN

    // Loads the file of that folder (the build's bin folder by default).
    explicit Api(const QString &folder = testsupport::BinDir()) {
        library = platform::LoadLibraryByName(folder + "/ZXK740API.dll");
        if (!library) return;
#define K7_RESOLVE(name)                                                                           \
    name = reinterpret_cast<decltype(name)>(platform::GetProcAddress(library, #name))
        K7_RESOLVE(K7GetRadioList2);
        K7_RESOLVE(K7Open);
        K7_RESOLVE(K7GetEEP);
        K7_RESOLVE(K7GetInfo);
        K7_RESOLVE(SetPower);
        K7_RESOLVE(SetAGC);
        K7_RESOLVE(SetRFAmp);
        K7_RESOLVE(SetFilterVal);
        K7_RESOLVE(SetAtten);
        K7_RESOLVE(SetFrequency);
        K7_RESOLVE(GetFrequency);
        K7_RESOLVE(GetRawSignalStrength);
        K7_RESOLVE(K7GetInternalRSSI);
        K7_RESOLVE(CloseRadioDevice);
        K7_RESOLVE(k7test_CallLog);
        K7_RESOLVE(k7test_ResetCallLog);
        K7_RESOLVE(k7test_ForceListCount);
        K7_RESOLVE(k7test_ForceRecordSize);
        K7_RESOLVE(k7test_Reset);
#undef K7_RESOLVE
    }
    ~Api() {
        platform::UnloadLibrary(library);
    }
    Api(const Api &) = delete;
    Api &operator=(const Api &) = delete;

    std::string callLog() const {
        const int32_t n = k7test_CallLog(nullptr, 0);
        std::string text(std::size_t(n) + 1, '\0');
        k7test_CallLog(text.data(), n + 1);
        text.resize(std::size_t(n));
        return text;
    }
};

// Points the simulation at a configuration file for the life of the object
// and returns it to the demo receiver alone afterwards.
class SimConfigFile {
public:
    SimConfigFile(Api &api, const char *text) : api_(api) {
        QFile file(dir_.filePath("k740sim.conf"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        qputenv("K740SIM_CONFIG", QFile::encodeName(file.fileName()));
        api_.k7test_Reset();
    }
    ~SimConfigFile() {
        qunsetenv("K740SIM_CONFIG");
        api_.k7test_Reset();
    }

private:
    Api &api_;
    QTemporaryDir dir_;
};

inline uint32_t Get32(const uint8_t *p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t Get16(const uint8_t *p) {
    return uint16_t(p[0] | p[1] << 8);
}

} // namespace k7apitest
