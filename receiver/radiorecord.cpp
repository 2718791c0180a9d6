#include "receiver/radiorecord.h"

#include <QtEndian>

#include <cstring>
#include <new>

namespace {

// Radio description record.
constexpr std::size_t RangeTable = 400, RangeEntrySize = 12, RangeCount = 1;
constexpr std::size_t ModeTable = RangeTable + RangeEntrySize * RangeCount; // 412
constexpr std::size_t ModeEntrySize = 28;
constexpr std::array<std::uint32_t, 11> ModeCodes = {0, 1, 2, 4, 5, 8, 10, 11, 12, 13, 14};

// Copies a text of at most sourceSize bytes (ending at its first zero) into a
// field, zero-filled behind; a text as long as the field keeps no zero.
void copyText(std::uint8_t *field, std::size_t fieldSize, const std::uint8_t *source,
              std::size_t sourceSize) {
    const void *end = std::memchr(source, 0, sourceSize);
    std::size_t length =
        end ? std::size_t(static_cast<const std::uint8_t *>(end) - source) : sourceSize;
    if (length > fieldSize) length = fieldSize;
    std::memcpy(field, source, length);
}

void copyText(std::uint8_t *field, std::size_t fieldSize, const char *text) {
    copyText(field, fieldSize, reinterpret_cast<const std::uint8_t *>(text), std::strlen(text));
}

} // namespace

std::uint32_t RadioRecord::read32(std::size_t offset) const {
    return qFromLittleEndian<quint32>(bytes_.get() + offset);
}

void RadioRecord::write32(std::size_t offset, std::uint32_t value) {
    qToLittleEndian<quint32>(value, bytes_.get() + offset);
}

std::uint32_t RadioRecord::addressOf(std::size_t offset) const {
    return std::uint32_t(reinterpret_cast<std::uintptr_t>(bytes_.get() + offset));
}

std::unique_ptr<RadioRecord> RadioRecord::Build(const std::uint8_t *description) {
    std::unique_ptr<RadioRecord> record(
        new RadioRecord(std::make_unique<std::uint8_t[]>(Size), Size)); // zeroed
    std::uint8_t *r = record->data();

    record->write32(QMV_REC_SIZE, Size);
    record->write32(4, 400);
    record->write32(8, 12);
    copyText(r + QMV_REC_MAKER, 32, "Korvanta Communications");
    copyText(r + QMV_REC_DEVICE_TYPE, 32, description + K7_DESC_DEVICE_TYPE, K7_DESC_TEXT_SIZE);
    copyText(r + QMV_REC_SERIAL, 16, description + K7_DESC_SERIAL, K7_DESC_TEXT_SIZE);
    copyText(r + QMV_REC_MODEL, 64, "ZX-K740");
    record->write32(156, 65536);
    record->write32(164, 1);
    record->write32(172, 0);
    record->write32(192, 90117);
    record->write32(200, 1);
    record->write32(204, 0);
    record->write32(208, 100);
    record->write32(QMV_REC_RANGE_COUNT, RangeCount);
    record->write32(QMV_REC_RANGES, record->addressOf(RangeTable));
    record->write32(QMV_REC_MODE_COUNT, ModeCodes.size());
    record->write32(QMV_REC_MODE_SIZE, ModeEntrySize);
    // The mode table follows the range table.
    record->write32(QMV_REC_MODES,
                    record->read32(QMV_REC_RANGES) + std::uint32_t(RangeEntrySize * RangeCount));
    record->write32(240, 1);
    record->write32(244, 1);
    record->write32(248, 1);
    record->write32(260, 15);
    record->write32(268, 0);
    record->write32(272, 100);
    record->write32(276, 31);
    record->write32(280, 1);
    record->write32(292, 0);
    record->write32(388, 3670368);

    const std::uint32_t lowest = qFromLittleEndian<quint32>(description + K7_DESC_LOWEST);
    const std::uint32_t highest = qFromLittleEndian<quint32>(description + K7_DESC_HIGHEST);
    record->write32(RangeTable, lowest / 1000);
    record->write32(RangeTable + 4, highest / 1000);
    record->write32(RangeTable + 8, 1);

    for (std::size_t i = 0; i < ModeCodes.size(); ++i) {
        const std::size_t entry = ModeTable + i * ModeEntrySize;
        const std::uint32_t values[7] = {ModeCodes[i], 100, 0, 11025, 1, 0, 0};
        for (std::size_t v = 0; v < 7; ++v)
            record->write32(entry + 4 * v, values[v]);
    }
    return record;
}

std::unique_ptr<RadioRecord> RadioRecord::CopyFrom(const void *source, std::size_t size) {
    if (!source || size == 0) return nullptr;
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
    if (!bytes) return nullptr;
    std::memcpy(bytes.get(), source, size);
    std::unique_ptr<RadioRecord> record(new (std::nothrow) RadioRecord(std::move(bytes), size));
    if (!record) return nullptr;

    const std::uint32_t delta = std::uint32_t(reinterpret_cast<std::uintptr_t>(record->data())) -
                                std::uint32_t(reinterpret_cast<std::uintptr_t>(source));
    for (std::size_t field : AddressFields) {
        // A short record ends before some fields; those are not in the copy.
        if (field + 4 > size) continue;
        const std::uint32_t value = record->read32(field);
        if (value != 0) record->write32(field, value + delta);
    }
    return record;
}
