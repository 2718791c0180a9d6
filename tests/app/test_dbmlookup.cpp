#include "app/dbmlookup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Call {
    std::int32_t cal = 0, mode = 0, size = 0;
    std::string receiver;
    std::uint64_t frequency = 0;
    int raw = -1;
};
Call last;
std::int32_t answer = -1;

std::int32_t FakeGetCS(std::int32_t cal, const char *receiver, std::int32_t mode,
                       std::uint64_t frequency, void *cs) {
    auto *bytes = static_cast<unsigned char *>(cs);
    last = {cal, mode, 0, receiver, frequency, bytes[4]};
    std::memcpy(&last.size, bytes, 4);
    const double dbm = -73.5 - bytes[4] * 0.0;
    std::memcpy(bytes + 5, &dbm, 8);
    return answer;
}

TEST(DbmLookup, PassesTheRequestAndReadsTheValue) {
    answer = -1;
    const auto dbm = LookupDbm(FakeGetCS, 3, "ZX-K740", -1, 14250000, 200);
    ASSERT_TRUE(dbm.has_value());
    EXPECT_DOUBLE_EQ(*dbm, -73.5);
    EXPECT_EQ(last.cal, 3);
    EXPECT_EQ(last.receiver, "ZX-K740");
    EXPECT_EQ(last.mode, -1);
    EXPECT_EQ(last.frequency, 14250000u);
    EXPECT_EQ(last.size, 33);
    EXPECT_EQ(last.raw, 200);
}

TEST(DbmLookup, OnlyALowByteOf0xFFIsSuccess) {
    answer = 0x1FF; // low byte 0xFF
    EXPECT_TRUE(LookupDbm(FakeGetCS, 0, "", 3, 1, 0).has_value());
    EXPECT_EQ(last.receiver, "");
    for (std::int32_t failure : {-4, -17, 0, 1, 0xFE}) {
        answer = failure;
        EXPECT_FALSE(LookupDbm(FakeGetCS, 0, "ZX-K740", 3, 1, 0).has_value()) << failure;
    }
    EXPECT_FALSE(LookupDbm(nullptr, 0, "ZX-K740", 3, 1, 0).has_value());
}

} // namespace
