#include "receiver/radiorecord.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(std::uint8_t *p, std::uint32_t v) {
    qToLittleEndian<quint32>(v, p);
}
std::uint32_t get32(const std::uint8_t *p) {
    return qFromLittleEndian<quint32>(p);
}
std::uint32_t low32(const void *p) {
    return std::uint32_t(reinterpret_cast<std::uintptr_t>(p));
}

// A receiver API description record with the fields the builder reads.
std::array<std::uint8_t, TRadioRecord::kDescriptionSize>
description(const char *serial, std::size_t serialLength, const char *type, std::size_t typeLength,
            std::uint32_t lowest, std::uint32_t highest) {
    std::array<std::uint8_t, TRadioRecord::kDescriptionSize> d{};
    d.fill(0xEE); // bytes the builder must not read
    put32(d.data(), 196);
    std::memset(d.data() + 4, 0, 18);
    std::memcpy(d.data() + 4, serial, serialLength);
    std::memcpy(d.data() + 13, type, typeLength);
    put32(d.data() + 22, lowest);
    put32(d.data() + 26, highest);
    return d;
}

// The expected record, written out field by field independently of the builder.
Bytes expectedRecord(const std::uint8_t *base, const char *serial, std::size_t serialLength,
                     const char *type, std::size_t typeLength, std::uint32_t lowestKHz,
                     std::uint32_t highestKHz) {
    Bytes r(720, 0);
    auto at = [&](std::size_t offset, std::uint32_t v) { put32(r.data() + offset, v); };
    at(0, 720);
    at(4, 400);
    at(8, 12);
    std::memcpy(r.data() + 12, "Korvanta Communications", 23);
    std::memcpy(r.data() + 44, type, typeLength);
    std::memcpy(r.data() + 76, serial, serialLength);
    std::memcpy(r.data() + 92, "ZX-K740", 7);
    at(156, 65536);
    at(164, 1);
    at(192, 90117);
    at(200, 1);
    at(208, 100);
    at(220, 1);
    at(224, low32(base + 400));
    at(228, 11);
    at(232, 28);
    at(236, low32(base + 412));
    at(240, 1);
    at(244, 1);
    at(248, 1);
    at(260, 15);
    at(272, 100);
    at(276, 31);
    at(280, 1);
    at(388, 3670368);
    at(400, lowestKHz);
    at(404, highestKHz);
    at(408, 1);
    const std::uint32_t codes[11] = {0, 1, 2, 4, 5, 8, 10, 11, 12, 13, 14};
    for (int i = 0; i < 11; ++i) {
        const std::uint32_t entry[7] = {codes[i], 100, 0, 11025, 1, 0, 0};
        for (int v = 0; v < 7; ++v)
            at(412 + 28 * i + 4 * v, entry[v]);
    }
    return r;
}

Bytes bytesOf(const TRadioRecord &record) {
    return Bytes(record.Data(), record.Data() + record.Size());
}

TEST(RadioRecordBuild, EveryByteOfAUsbReceiver) {
    const auto d = description("K7A00042", 8, "USB2", 4, 9000, 3500000000u);
    const auto record = TRadioRecord::Build(d.data());
    ASSERT_EQ(record->Size(), 720u);
    EXPECT_EQ(bytesOf(*record),
              expectedRecord(record->Data(), "K7A00042", 8, "USB2", 4, 9, 3500000));
}

TEST(RadioRecordBuild, DemoReceiverHasEmptySerialAndTruncatedKilohertz) {
    const auto d = description("", 0, "", 0, 9999, 30001999);
    const auto record = TRadioRecord::Build(d.data());
    EXPECT_EQ(bytesOf(*record), expectedRecord(record->Data(), "", 0, "", 0, 9, 30001));
}

TEST(RadioRecordBuild, UnterminatedTextsStopAtTheirFieldAndNothingBehindIsCopied) {
    // Nine characters without a zero: the API record's whole text field.
    auto d = description("123456789", 9, "ABCDEFGHI", 9, 100000, 200000);
    const auto record = TRadioRecord::Build(d.data());
    EXPECT_EQ(std::memcmp(record->Data() + 76, "123456789", 9), 0);
    EXPECT_EQ(std::memcmp(record->Data() + 44, "ABCDEFGHI", 9), 0);
    for (std::size_t i = 76 + 9; i < 92; ++i)
        EXPECT_EQ(record->Data()[i], 0) << i;
    for (std::size_t i = 44 + 9; i < 76; ++i)
        EXPECT_EQ(record->Data()[i], 0) << i;
}

TEST(RadioRecordBuild, AddressFieldsNameTheRecordsOwnTables) {
    const auto d = description("S1", 2, "PCI", 3, 500000, 30000000);
    const auto record = TRadioRecord::Build(d.data());
    EXPECT_EQ(get32(record->Data() + 224), low32(record->Data() + 400));
    EXPECT_EQ(get32(record->Data() + 236),
              get32(record->Data() + 224) + 12 * get32(record->Data() + 220));
    for (std::size_t field : TRadioRecord::kAddressFields)
        if (field != 224 && field != 236) {
            EXPECT_EQ(get32(record->Data() + field), 0u) << field;
        }
}

// A module's own record: the host's layout at another address.
struct ModuleRecord {
    explicit ModuleRecord(std::size_t size) : bytes(size, 0) {}
    Bytes bytes;
    std::uint8_t *data() { return bytes.data(); }
};

TEST(RadioRecordRebase, NonzeroAddressFieldsFollowTheCopyAndZeroFieldsStayZero) {
    ModuleRecord source(720);
    for (std::size_t i = 0; i < 720; ++i)
        source.bytes[i] = std::uint8_t(i * 7 + 3);
    // Fields pointing into the module's record, one left 0, one pointing far away.
    put32(source.data() + 224, low32(source.data() + 400));
    put32(source.data() + 236, low32(source.data() + 412));
    put32(source.data() + 172, 0);
    put32(source.data() + 384, 0xFFFFFFF0u);

    const auto copy = TRadioRecord::CopyFrom(source.data(), 720);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->Size(), 720u);
    const std::uint32_t delta = low32(copy->Data()) - low32(source.data());
    EXPECT_EQ(get32(copy->Data() + 224), low32(copy->Data() + 400));
    EXPECT_EQ(get32(copy->Data() + 236), low32(copy->Data() + 412));
    EXPECT_EQ(get32(copy->Data() + 172), 0u);
    EXPECT_EQ(get32(copy->Data() + 384), 0xFFFFFFF0u + delta); // modulo 2^32

    // Every byte outside the address fields is the module's.
    std::vector<bool> isField(720, false);
    for (std::size_t field : TRadioRecord::kAddressFields)
        for (std::size_t i = 0; i < 4; ++i)
            isField[field + i] = true;
    for (std::size_t i = 0; i < 720; ++i)
        if (!isField[i]) {
            EXPECT_EQ(copy->Data()[i], source.bytes[i]) << i;
        }
    for (std::size_t field : TRadioRecord::kAddressFields) {
        const std::uint32_t old = get32(source.data() + field);
        EXPECT_EQ(get32(copy->Data() + field), old ? old + delta : 0u) << field;
    }
}

TEST(RadioRecordRebase, ABuiltRecordCopiedRoundTripsItsTables) {
    const auto d = description("R2", 2, "USB", 3, 100000, 2000000000);
    const auto built = TRadioRecord::Build(d.data());
    const auto copy = TRadioRecord::CopyFrom(built->Data(), built->Size());
    ASSERT_TRUE(copy);
    EXPECT_EQ(get32(copy->Data() + 224), low32(copy->Data() + 400));
    EXPECT_EQ(get32(copy->Data() + 236), low32(copy->Data() + 412));
    EXPECT_EQ(std::memcmp(copy->Data() + 400, built->Data() + 400, 320), 0);
}

// A short record would have let the rebase write past the copy. Fields that
// lie wholly inside are rebased, the others do not exist in the copy. (The
// sanitizer build catches any write outside.)
TEST(RadioRecordRebase, AShortRecordIsRebasedOnlyInsideTheCopy) {
    for (std::size_t size : {std::size_t(1), std::size_t(175), std::size_t(226), std::size_t(228),
                             std::size_t(239), std::size_t(240)}) {
        ModuleRecord source(size);
        std::memset(source.data(), 0x11, size);
        const auto copy = TRadioRecord::CopyFrom(source.data(), size);
        ASSERT_TRUE(copy) << size;
        ASSERT_EQ(copy->Size(), size);
        const std::uint32_t delta = low32(copy->Data()) - low32(source.data());
        for (std::size_t field : TRadioRecord::kAddressFields) {
            if (field + 4 <= size) {
                EXPECT_EQ(get32(copy->Data() + field), 0x11111111u + delta) << size << " " << field;
            }
        }
        // A field cut by the end stays as sent.
        for (std::size_t i = 0; i < size; ++i) {
            bool inField = false;
            for (std::size_t field : TRadioRecord::kAddressFields)
                inField |= field + 4 <= size && i >= field && i < field + 4;
            if (!inField) {
                EXPECT_EQ(copy->Data()[i], 0x11) << size << " " << i;
            }
        }
    }
}

TEST(RadioRecordRebase, NothingToCopyGivesNoRecord) {
    std::uint8_t byte = 0;
    EXPECT_FALSE(TRadioRecord::CopyFrom(nullptr, 720));
    EXPECT_FALSE(TRadioRecord::CopyFrom(&byte, 0));
}

} // namespace
