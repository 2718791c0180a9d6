// The second half of the library's list rule, for callers that have made the
// size query themselves and decided on its answer: a buffer of exactly
// `bytes` bytes, the call with that buffer and size, count = bytes / entry
// width (remainder dropped), the buffer freed on return.
#pragma once

#include <cstdint>
#include <vector>

namespace setlists {

std::vector<std::int32_t> ReadModes(std::int32_t cal, const char *receiver, std::int32_t bytes);
std::vector<std::uint64_t> ReadFrequencies(std::int32_t cal, const char *receiver,
                                           std::int32_t mode, std::int32_t bytes);

} // namespace setlists
