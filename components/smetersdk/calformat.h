// The ".cal" file layout (FORMAT.md): parsing a whole file image and writing
// a set as a stream of bytes.
#pragma once

#include "calset.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace smetersdk {

constexpr unsigned char kMagic[8] = {0x89, 'S', 'M', 'C', 'A', 'L', '\r', '\n'};
constexpr uint16_t kMajorVersion = 1;
constexpr uint16_t kMinorVersion = 0;
constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kReceiverRecordSize = 12;
constexpr uint32_t kModeRecordSize = 8;
constexpr uint32_t kPointRecordSize = 8 + kTableSize * 8;
constexpr uint32_t kTrailerSize = 4;
// Larger files are refused before anything is read.
constexpr uint64_t kMaxFileSize = uint64_t(1) << 30;

// Reads a file of `size` bytes from `source`, which copies up to `capacity`
// further bytes into `buffer` and answers how many (0: nothing more). On
// success `set` holds the file's content; on failure it is left as it was.
// Pulls at most `size` bytes, allocates only for points whose bytes are
// present, and holds no more than one chunk of the file at a time.
using ByteSource = std::function<size_t(unsigned char *buffer, size_t capacity)>;
bool ReadCalFile(uint64_t size, const ByteSource &source, CalSet &set);

// Parses a complete file image. On success `set` holds the file's content;
// on failure it is left as it was. Never reads outside [data, data + size)
// and allocates only for points whose bytes are present.
bool ParseCalFile(const unsigned char *data, size_t size, CalSet &set);

// Writes `set` in the current layout through `sink`, in chunks. Stops and
// answers false as soon as the sink does.
using ByteSink = std::function<bool(const unsigned char *data, size_t size)>;
bool WriteCalFile(const CalSet &set, const ByteSink &sink);

} // namespace smetersdk
