// The receiver's 32-bit tuning word: bit 31 clear, the low 31 bits are Hz;
// bit 31 set, they count 10 Hz.
#pragma once

#include <cstdint>

// Frequencies up to 2,147,000,000 Hz go as they are, larger ones in 10 Hz
// units (the remainder dropped).
std::uint32_t EncodeFrequencyWord(std::uint64_t hz);

std::uint64_t DecodeFrequencyWord(std::uint32_t word);
