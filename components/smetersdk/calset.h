// The calibration set as the library holds it in memory: receiver name ->
// mode code -> frequency point -> translation table, every level sorted.
#pragma once

#include <array>
#include <cstdint>
#include <map>

namespace smetersdk {

constexpr int kTableSize = 256;
constexpr double kDbmMin = -140.0;
constexpr double kDbmMax = 0.0;
constexpr int kNameField = 8; // 1..7 bytes and at least one terminating zero

using Table = std::array<double, kTableSize>;
// Zero-padded; unsigned bytes so that the order is plain byte order.
using ReceiverName = std::array<unsigned char, kNameField>;
using PointMap = std::map<uint64_t, Table>;
using ModeMap = std::map<int32_t, PointMap>;
using ReceiverMap = std::map<ReceiverName, ModeMap>;

struct CalSet {
    ReceiverMap receivers;

    // The point GetCS read last: reading a table is 256 reads of one point.
    // Cleared by every change of the set.
    struct {
        bool valid = false;
        ReceiverName name{};
        int32_t mode = 0;
        uint64_t frequency = 0;
        const Table *table = nullptr;
    } lastRead;
};

// A receiver name from a caller's text: 1..7 non-zero bytes. Reads at most
// kNameField bytes of the text.
bool MakeReceiverName(const char *text, ReceiverName &name);

// A name field from a file: 1..7 non-zero bytes, then zeros to the end.
bool IsCanonicalName(const ReceiverName &name);

// Every value lies in -140..0 (NaN fails too).
inline bool IsValidValue(double value) {
    return value >= kDbmMin && value <= kDbmMax;
}

} // namespace smetersdk
