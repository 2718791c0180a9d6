// Binding of the receiver API library ZXK740API.dll: the fourteen functions
// looked up by name, the description record, the EEPROM level constants and
// the frequency word. The calls, record layouts and the frequency word are
// those of zxk740api.h.
#pragma once

#include "platform/libraryloader.h"
#include "zxk740api.h"

#include <array>
#include <cstdint>
#include <vector>

#include <QString>

class K74xapi {
public:
    static constexpr const char *kLibraryName = "ZXK740API.dll";
    static constexpr std::size_t kDescriptionSize = K7_DESCRIPTION_SIZE;
    static constexpr std::size_t kEepromSize = K7_EEPROM_SIZE;
    static constexpr std::int32_t kListBufferSize = K7_LIST_BUFFER_SIZE;
    static constexpr std::int32_t kMaxListed = K7_LIST_MAX_RECORDS;

    using Eeprom = std::array<std::uint8_t, kEepromSize>;

    // A receiver description record as the library wrote it.
    struct Description {
        std::array<std::uint8_t, kDescriptionSize> Bytes{};

        QString Serial() const;     // bytes 4..12, up to the first zero
        QString DeviceType() const; // bytes 13..21, up to the first zero
        std::uint32_t Lowest() const;
        std::uint32_t Highest() const;
        // Whether the device type text contains "USB" in any letter case.
        bool IsUsb() const;

        static Description FromBytes(const std::uint8_t *record);
    };

    // The EEPROM's level constants, checked as a set: if any check fails all
    // five take their defaults.
    struct LevelConstants {
        std::int32_t AgcHigh = 855;
        std::int32_t AgcKnee = 757;
        std::int32_t AgcLow = 537;
        std::int32_t LowGainTerm = -850;
        std::int32_t ReferenceGain = 700; // tenths of dB

        static LevelConstants FromEeprom(const Eeprom &eeprom);
        bool operator==(const LevelConstants &) const = default;
    };

    // The frequency word of a frequency in Hz, and the Hz of a word.
    static std::uint32_t EncodeFrequency(std::uint64_t hz) { return k7_EncodeFrequency(hz); }
    static std::uint64_t DecodeFrequency(std::uint32_t word) { return k7_DecodeFrequency(word); }

    K74xapi() = default;
    K74xapi(const K74xapi &) = delete;
    K74xapi &operator=(const K74xapi &) = delete;

    // Loads the library by its plain name and looks up all fourteen functions.
    // True only if every one was found; otherwise the library is unloaded
    // again. A bound library stays loaded for the life of the process; a
    // second call answers true at once.
    bool Bind();

    // The receivers the library lists, in its order: none when it reports a
    // record size other than 196, and never more than the 64 records that its
    // buffer holds, whatever count it answers.
    std::vector<Description> ReadRadioList() const;

    // An empty serial text opens the demo receiver (the library gets NULL).
    // The handle is greater than 0 on success.
    std::int32_t Open(const QString &serial) const;
    // Nonzero result: the image holds the EEPROM.
    bool GetEEP(std::int32_t handle, Eeprom &eeprom) const;
    // Sets the size field to 196 and lets the library fill the record.
    Description GetInfo(std::int32_t handle) const;
    void SetPower(std::int32_t handle, std::int32_t on) const;
    void SetAGC(std::int32_t handle, std::int32_t agc) const;
    void SetRFAmp(std::int32_t handle, std::int32_t amp) const;
    void SetFilterVal(std::int32_t handle, std::int32_t filter) const;
    void SetAtten(std::int32_t handle, std::int32_t atten) const;
    void SetFrequency(std::int32_t handle, std::uint32_t word) const;
    std::uint32_t GetFrequency(std::int32_t handle) const;
    std::int32_t GetRawSignalStrength(std::int32_t handle) const;
    // Bits 16..31 of the internal RSSI word.
    std::int32_t GetAgcReading(std::int32_t handle) const;
    std::uint32_t GetInternalRSSI(std::int32_t handle) const;
    void CloseRadioDevice(std::int32_t handle) const;

private:
    struct Functions {
        K7GetRadioList2Fn K7GetRadioList2 = nullptr;
        K7GetFrequencyFn GetFrequency = nullptr;
        K7SetPowerFn SetPower = nullptr;
        K7CloseRadioDeviceFn CloseRadioDevice = nullptr;
        K7SetFrequencyFn SetFrequency = nullptr;
        K7OpenFn K7Open = nullptr;
        K7GetInfoFn K7GetInfo = nullptr;
        K7GetInternalRSSIFn K7GetInternalRSSI = nullptr;
        K7GetEEPFn K7GetEEP = nullptr;
        K7GetRawSignalStrengthFn GetRawSignalStrength = nullptr;
        K7SetAGCFn SetAGC = nullptr;
        K7SetAttenFn SetAtten = nullptr;
        K7SetFilterValFn SetFilterVal = nullptr;
        K7SetRFAmpFn SetRFAmp = nullptr;
    };

    platform::LibraryHandle library_ = nullptr;
    Functions f_;
};
