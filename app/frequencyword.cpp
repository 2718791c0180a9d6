#include "app/frequencyword.h"

std::uint32_t EncodeFrequencyWord(std::uint64_t hz) {
    if (hz > 2147000000u) return std::uint32_t(hz / 10) | 0x80000000u;
    return std::uint32_t(hz);
}

std::uint64_t DecodeFrequencyWord(std::uint32_t word) {
    if (word & 0x80000000u) return std::uint64_t(word & 0x7FFFFFFFu) * 10;
    return word;
}
