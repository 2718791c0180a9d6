// The radio description record handed to the demodulator module: 720 bytes,
// little-endian, built from the receiver's 196-byte description record. Its
// address fields hold the low 32 bits of absolute addresses into the record
// itself, so a record never moves once built.
#pragma once

#include "k740demod.h"
#include "zxk740api.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

class TRadioRecord {
public:
    static constexpr std::size_t kSize = QMV_RECORD_SIZE;
    static constexpr std::size_t kDescriptionSize = K7_DESCRIPTION_SIZE; // the receiver API's

    // The offsets of the fields that carry addresses.
    static constexpr std::array<std::size_t, 13> kAddressFields = {
        172, 184, 188, 196, 224, 236, 264, 308, 316, 324, 336, 360, 384};

    // Builds the record for a receiver from its description record
    // (K7GetInfo / K7GetRadioList2 layout, kDescriptionSize bytes).
    static std::unique_ptr<TRadioRecord> Build(const std::uint8_t *description);

    // Copies a record the module sent and rebases its address fields onto the
    // copy: each nonzero field that lies wholly inside the copy gets
    // (copy address - source address) added modulo 2^32; fields beyond a short
    // record are never touched. Null when size is 0 or the source is null,
    // or when memory runs out.
    static std::unique_ptr<TRadioRecord> CopyFrom(const void *source, std::size_t size);

    TRadioRecord(const TRadioRecord &) = delete;
    TRadioRecord &operator=(const TRadioRecord &) = delete;

    std::uint8_t *Data() { return bytes_.get(); }
    const std::uint8_t *Data() const { return bytes_.get(); }
    std::size_t Size() const { return size_; }

private:
    TRadioRecord(std::unique_ptr<std::uint8_t[]> bytes, std::size_t size)
        : bytes_(std::move(bytes)), size_(size) {}

    // Little-endian 32-bit access; offsets must leave 4 bytes inside.
    std::uint32_t Read32(std::size_t offset) const;
    void Write32(std::size_t offset, std::uint32_t value);
    // The low 32 bits of the address of a byte of this record.
    std::uint32_t AddressOf(std::size_t offset) const;

    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_;
};
