#include "receiver/radiorecord.h"

#include <QtEndian>

#include <cstring>
#include <new>

namespace {

// Radio description record.
constexpr std::size_t kRangeTable = 400, kRangeEntrySize = 12, kRangeCount = 1;
constexpr std::size_t kModeTable = kRangeTable + kRangeEntrySize * kRangeCount; // 412
constexpr std::size_t kModeEntrySize = 28;
constexpr std::array<std::uint32_t, 11> kModeCodes = {0, 1, 2, 4, 5, 8, 10, 11, 12, 13, 14};

// Copies a text of at most sourceSize bytes (ending at its first zero) into a
// field, zero-filled behind; a text as long as the field keeps no zero.
void CopyText(std::uint8_t *field, std::size_t fieldSize, const std::uint8_t *source,
              std::size_t sourceSize) {
    const void *end = std::memchr(source, 0, sourceSize);
    std::size_t length =
        end ? std::size_t(static_cast<const std::uint8_t *>(end) - source) : sourceSize;
    if (length > fieldSize) length = fieldSize;
    std::memcpy(field, source, length);
}

void CopyText(std::uint8_t *field, std::size_t fieldSize, const char *text) {
    CopyText(field, fieldSize, reinterpret_cast<const std::uint8_t *>(text), std::strlen(text));
}

} // namespace

std::uint32_t TRadioRecord::Read32(std::size_t offset) const {
    return qFromLittleEndian<quint32>(bytes_.get() + offset);
}

void TRadioRecord::Write32(std::size_t offset, std::uint32_t value) {
    qToLittleEndian<quint32>(value, bytes_.get() + offset);
}

std::uint32_t TRadioRecord::AddressOf(std::size_t offset) const {
    return std::uint32_t(reinterpret_cast<std::uintptr_t>(bytes_.get() + offset));
}

std::unique_ptr<TRadioRecord> TRadioRecord::Build(const std::uint8_t *description) {
    std::unique_ptr<TRadioRecord> record(
        new TRadioRecord(std::make_unique<std::uint8_t[]>(kSize), kSize)); // zeroed
    std::uint8_t *r = record->Data();

    record->Write32(QMV_REC_SIZE, kSize);
    record->Write32(4, 400);
    record->Write32(8, 12);
    CopyText(r + QMV_REC_MAKER, 32, "Korvanta Communications");
    CopyText(r + QMV_REC_DEVICE_TYPE, 32, description + K7_DESC_DEVICE_TYPE, K7_DESC_TEXT_SIZE);
    CopyText(r + QMV_REC_SERIAL, 16, description + K7_DESC_SERIAL, K7_DESC_TEXT_SIZE);
    CopyText(r + QMV_REC_MODEL, 64, "ZX-K740");
    record->Write32(156, 65536);
    record->Write32(164, 1);
    record->Write32(172, 0);
    record->Write32(192, 90117);
    record->Write32(200, 1);
    record->Write32(204, 0);
    record->Write32(208, 100);
    record->Write32(QMV_REC_RANGE_COUNT, kRangeCount);
    record->Write32(QMV_REC_RANGES, record->AddressOf(kRangeTable));
    record->Write32(QMV_REC_MODE_COUNT, kModeCodes.size());
    record->Write32(QMV_REC_MODE_SIZE, kModeEntrySize);
    // The mode table follows the range table.
    record->Write32(QMV_REC_MODES,
                    record->Read32(QMV_REC_RANGES) + std::uint32_t(kRangeEntrySize * kRangeCount));
    record->Write32(240, 1);
    record->Write32(244, 1);
    record->Write32(248, 1);
    record->Write32(260, 15);
    record->Write32(268, 0);
    record->Write32(272, 100);
    record->Write32(276, 31);
    record->Write32(280, 1);
    record->Write32(292, 0);
    record->Write32(388, 3670368);

    const std::uint32_t lowest = qFromLittleEndian<quint32>(description + K7_DESC_LOWEST);
    const std::uint32_t highest = qFromLittleEndian<quint32>(description + K7_DESC_HIGHEST);
    record->Write32(kRangeTable, lowest / 1000);
    record->Write32(kRangeTable + 4, highest / 1000);
    record->Write32(kRangeTable + 8, 1);

    for (std::size_t i = 0; i < kModeCodes.size(); ++i) {
        const std::size_t entry = kModeTable + i * kModeEntrySize;
        const std::uint32_t values[7] = {kModeCodes[i], 100, 0, 11025, 1, 0, 0};
        for (std::size_t v = 0; v < 7; ++v)
            record->Write32(entry + 4 * v, values[v]);
    }
    return record;
}

std::unique_ptr<TRadioRecord> TRadioRecord::CopyFrom(const void *source, std::size_t size) {
    if (!source || size == 0) return nullptr;
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
    if (!bytes) return nullptr;
    std::memcpy(bytes.get(), source, size);
    std::unique_ptr<TRadioRecord> record(new (std::nothrow) TRadioRecord(std::move(bytes), size));
    if (!record) return nullptr;

    const std::uint32_t delta = std::uint32_t(reinterpret_cast<std::uintptr_t>(record->Data())) -
                                std::uint32_t(reinterpret_cast<std::uintptr_t>(source));
    for (std::size_t field : kAddressFields) {
        // A short record ends before some fields; those are not in the copy.
        if (field + 4 > size) continue;
        const std::uint32_t value = record->Read32(field);
        if (value != 0) record->Write32(field, value + delta);
    }
    return record;
}
