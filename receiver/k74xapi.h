// Binding of the receiver API library ZXK740API.dll: the fourteen functions
// looked up by name, the description record, the EEPROM level constants and
// the frequency word.
#pragma once

#include "platform/libraryloader.h"

#include <array>
#include <cstdint>
#include <vector>

#include <QString>

class K74xapi {
public:
    static constexpr const char *LibraryName = "ZXK740API.dll";
    static constexpr std::size_t DescriptionSize = 196;
    static constexpr std::size_t EepromSize = 256;
    static constexpr std::int32_t ListBufferSize = 12544; // room for 64 records
    static constexpr std::int32_t MaxListed = ListBufferSize / std::int32_t(DescriptionSize);

    // Frequencies up to this are sent in Hz, above it in 10 Hz units.
    static constexpr std::uint64_t LargestHzWord = 2'147'000'000;
    static constexpr std::uint32_t TenHzFlag = 0x80000000u;

    using Eeprom = std::array<std::uint8_t, EepromSize>;

    // A receiver description record as the library wrote it.
    struct Description {
        std::array<std::uint8_t, DescriptionSize> bytes{};

        QString serial() const;     // bytes 4..12, up to the first zero
        QString deviceType() const; // bytes 13..21, up to the first zero
        std::uint32_t lowest() const;
        std::uint32_t highest() const;
        // Whether the device type text contains "USB" in any letter case.
        bool isUsb() const;

        static Description FromBytes(const std::uint8_t *record);
    };

    // The EEPROM's level constants, checked as a set: if any check fails all
    // five take their defaults.
    struct LevelConstants {
        std::int32_t agcHigh = 855;
        std::int32_t agcKnee = 757;
        std::int32_t agcLow = 537;
        std::int32_t lowGainTerm = -850;
        std::int32_t referenceGain = 700; // tenths of dB

        static LevelConstants FromEeprom(const Eeprom &eeprom);
        bool operator==(const LevelConstants &) const = default;
    };

    // The frequency word of a frequency in Hz, and the Hz of a word.
    static std::uint32_t EncodeFrequency(std::uint64_t hz);
    static std::uint64_t DecodeFrequency(std::uint32_t word);

    K74xapi() = default;
    K74xapi(const K74xapi &) = delete;
    K74xapi &operator=(const K74xapi &) = delete;

    // Loads the library by its plain name and looks up all fourteen functions.
    // True only if every one was found; otherwise the library is unloaded
    // again. A bound library stays loaded for the life of the process.
    bool Bind();
    bool IsBound() const { return library_ != nullptr; }

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
        std::int32_t (*K7GetRadioList2)(void *, std::int32_t, std::uint32_t *) = nullptr;
        std::uint32_t (*GetFrequency)(std::int32_t) = nullptr;
        std::int32_t (*SetPower)(std::int32_t, std::int32_t) = nullptr;
        std::int32_t (*CloseRadioDevice)(std::int32_t) = nullptr;
        std::int32_t (*SetFrequency)(std::int32_t, std::uint32_t) = nullptr;
        std::int32_t (*K7Open)(const char *) = nullptr;
        std::int32_t (*K7GetInfo)(std::int32_t, void *) = nullptr;
        std::uint32_t (*K7GetInternalRSSI)(std::int32_t) = nullptr;
        std::int32_t (*K7GetEEP)(std::int32_t, std::uint8_t *) = nullptr;
        std::int32_t (*GetRawSignalStrength)(std::int32_t) = nullptr;
        std::int32_t (*SetAGC)(std::int32_t, std::int32_t) = nullptr;
        std::int32_t (*SetAtten)(std::int32_t, std::int32_t) = nullptr;
        std::int32_t (*SetFilterVal)(std::int32_t, std::int32_t) = nullptr;
        std::int32_t (*SetRFAmp)(std::int32_t, std::int32_t) = nullptr;
    };

    platform::LibraryHandle library_ = nullptr;
    Functions f_;
};
