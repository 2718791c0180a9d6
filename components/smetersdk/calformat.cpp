#include "calformat.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "the file layout is little-endian and read by plain copies");

namespace smetersdk {

namespace {

uint32_t crc32Of(uint32_t crc, const unsigned char *data, size_t size) {
    // zlib's crc32 takes a 32-bit length.
    while (size > 0) {
        const uInt chunk = size > 0x40000000u ? 0x40000000u : static_cast<uInt>(size);
        crc = static_cast<uint32_t>(crc32(crc, data, chunk));
        data += chunk;
        size -= chunk;
    }
    return crc;
}

// A bounds-checked cursor over the file's content (everything before the
// trailer), pulled from the source in large chunks and summed as it goes.
class Reader {
public:
    Reader(const ByteSource &source, uint64_t contentSize)
        : source_(source), left_(contentSize), unread_(contentSize + kTrailerSize),
          capacity_(static_cast<size_t>(std::min<uint64_t>(kBufferSize, unread_))),
          buffer_(new unsigned char[capacity_]) {}
    uint64_t remaining() const { return left_; }

    // The next n bytes, valid until the next call; nullptr past the content.
    const unsigned char *take(size_t n) {
        if (n > left_) return nullptr;
        const unsigned char *p = pull(n);
        if (!p) return nullptr;
        crc_ = crc32Of(crc_, p, n);
        left_ -= n;
        return p;
    }
    bool skip(size_t n) { return take(n) != nullptr; }
    template <typename T> bool read(T &value) {
        const unsigned char *p = take(sizeof(T));
        if (!p) return false;
        std::memcpy(&value, p, sizeof(T));
        return true;
    }
    // After the content: whether the trailer holds the CRC of it.
    bool trailerMatches() {
        if (left_ != 0) return false;
        const unsigned char *p = pull(kTrailerSize);
        if (!p) return false;
        uint32_t stored = 0;
        std::memcpy(&stored, p, sizeof stored);
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        return stored == crc_;
#else
        return true; // a fuzzer build skips the CRC so that mutations reach the parser
#endif
    }

private:
    // Larger than any record; a smaller file fits whole.
    static constexpr size_t kBufferSize = size_t(1) << 20;

    const unsigned char *pull(size_t n) {
        if (end_ - pos_ < n) {
            std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
            end_ -= pos_;
            pos_ = 0;
            while (end_ < n) {
                const size_t want =
                    static_cast<size_t>(std::min<uint64_t>(capacity_ - end_, unread_));
                const size_t got = want ? source_(buffer_.get() + end_, want) : 0;
                if (got == 0 || got > want) return nullptr;
                end_ += got;
                unread_ -= got;
            }
        }
        const unsigned char *p = buffer_.get() + pos_;
        pos_ += n;
        return p;
    }

    const ByteSource &source_;
    uint64_t left_;   // content bytes not yet taken
    uint64_t unread_; // file bytes not yet pulled from the source
    size_t capacity_;
    std::unique_ptr<unsigned char[]> buffer_;
    size_t pos_ = 0, end_ = 0;
    uint32_t crc_ = static_cast<uint32_t>(crc32(0, nullptr, 0));
};

struct Layout {
    uint32_t headerSize, receiverSize, modeSize, pointSize;
};

bool parseHeader(Reader &in, Layout &layout, uint32_t &receiverCount) {
    const unsigned char *magic = in.take(sizeof kMagic);
    if (!magic || std::memcmp(magic, kMagic, sizeof kMagic) != 0) return false;
    uint16_t major = 0, minor = 0;
    if (!in.read(major) || !in.read(minor) || major != kMajorVersion) return false;
    if (!in.read(layout.headerSize) || !in.read(layout.receiverSize) || !in.read(layout.modeSize) ||
        !in.read(layout.pointSize) || !in.read(receiverCount))
        return false;
    // Later minor versions may only grow the records; the bounds keep the
    // arithmetic below far from overflow.
    if (layout.headerSize < kHeaderSize || layout.headerSize > 4096 ||
        layout.receiverSize < kReceiverRecordSize || layout.receiverSize > 4096 ||
        layout.modeSize < kModeRecordSize || layout.modeSize > 4096 ||
        layout.pointSize < kPointRecordSize || layout.pointSize > 65536)
        return false;
    return in.skip(layout.headerSize - kHeaderSize);
}

bool parseBody(Reader &in, const Layout &layout, uint32_t receiverCount, ReceiverMap &receivers) {
    // The smallest receiver holds one mode with one point.
    const uint64_t minReceiver = uint64_t(layout.receiverSize) + layout.modeSize + layout.pointSize;
    if (receiverCount > in.remaining() / minReceiver) return false;
    const ReceiverName *previousName = nullptr;
    for (uint32_t r = 0; r < receiverCount; ++r) {
        ReceiverName name;
        uint32_t modeCount = 0;
        if (!in.read(name) || !in.read(modeCount) ||
            !in.skip(layout.receiverSize - kReceiverRecordSize))
            return false;
        if (!IsCanonicalName(name) || (previousName && !(*previousName < name))) return false;
        const uint64_t minMode = uint64_t(layout.modeSize) + layout.pointSize;
        if (modeCount == 0 || modeCount > in.remaining() / minMode) return false;
        auto receiver = receivers.emplace_hint(receivers.end(), name, ModeMap{});
        previousName = &receiver->first;
        for (uint32_t m = 0; m < modeCount; ++m) {
            int32_t code = 0;
            uint32_t pointCount = 0;
            if (!in.read(code) || !in.read(pointCount) ||
                !in.skip(layout.modeSize - kModeRecordSize))
                return false;
            if (!receiver->second.empty() && receiver->second.rbegin()->first >= code) return false;
            if (pointCount == 0 || pointCount > in.remaining() / layout.pointSize) return false;
            PointMap &points =
                receiver->second.emplace_hint(receiver->second.end(), code, PointMap{})->second;
            for (uint32_t p = 0; p < pointCount; ++p) {
                uint64_t frequency = 0;
                if (!in.read(frequency)) return false;
                if (!points.empty() && points.rbegin()->first >= frequency) return false;
                // Checked in a local copy, without a branch per value, before
                // the point is allocated.
                Table table;
                const unsigned char *values = in.take(sizeof(Table));
                if (!values) return false;
                std::memcpy(table.data(), values, sizeof(Table));
                if (!in.skip(layout.pointSize - kPointRecordSize)) return false;
                bool valid = true;
                for (double value : table)
                    valid &= IsValidValue(value);
                if (!valid) return false;
                points.emplace_hint(points.end(), frequency, table);
            }
        }
    }
    return true;
}

} // namespace

bool ReadCalFile(uint64_t size, const ByteSource &source, CalSet &set) {
    if (size < kHeaderSize + kTrailerSize || size > kMaxFileSize) return false;
    Reader in(source, size - kTrailerSize);
    Layout layout{};
    uint32_t receiverCount = 0;
    if (!parseHeader(in, layout, receiverCount)) return false;
    ReceiverMap receivers;
    if (!parseBody(in, layout, receiverCount, receivers) || !in.trailerMatches()) return false;
    set.receivers = std::move(receivers);
    set.lastRead.valid = false;
    return true;
}

bool ParseCalFile(const unsigned char *data, size_t size, CalSet &set) {
    if (!data) return false;
    size_t pos = 0;
    return ReadCalFile(
        size,
        [&](unsigned char *buffer, size_t capacity) {
            const size_t n = std::min(capacity, size - pos);
            std::memcpy(buffer, data + pos, n);
            pos += n;
            return n;
        },
        set);
}

namespace {

// Collects small writes into large chunks and keeps the running CRC.
class Writer {
public:
    explicit Writer(const ByteSink &sink) : sink_(sink) { buffer_.reserve(kChunk); }
    template <typename T> void put(const T &value) { put(&value, sizeof value); }
    void put(const void *data, size_t size) {
        const auto *bytes = static_cast<const unsigned char *>(data);
        while (size > 0 && ok_) {
            const size_t n = std::min(size, kChunk - buffer_.size());
            buffer_.insert(buffer_.end(), bytes, bytes + n);
            bytes += n;
            size -= n;
            if (buffer_.size() == kChunk) flush();
        }
    }
    bool finish() {
        flushCrc();
        const uint32_t crc = crc_;
        const auto *bytes = reinterpret_cast<const unsigned char *>(&crc);
        buffer_.insert(buffer_.end(), bytes, bytes + sizeof crc);
        if (ok_) ok_ = sink_(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok_;
    }

private:
    static constexpr size_t kChunk = 1 << 18;
    void flushCrc() { crc_ = crc32Of(crc_, buffer_.data(), buffer_.size()); }
    void flush() {
        flushCrc();
        if (ok_) ok_ = sink_(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

    const ByteSink &sink_;
    std::vector<unsigned char> buffer_;
    uint32_t crc_ = static_cast<uint32_t>(crc32(0, nullptr, 0));
    bool ok_ = true;
};

} // namespace

bool WriteCalFile(const CalSet &set, const ByteSink &sink) {
    Writer out(sink);
    out.put(kMagic, sizeof kMagic);
    out.put(kMajorVersion);
    out.put(kMinorVersion);
    out.put(kHeaderSize);
    out.put(kReceiverRecordSize);
    out.put(kModeRecordSize);
    out.put(kPointRecordSize);
    out.put(static_cast<uint32_t>(set.receivers.size()));
    for (const auto &[name, modes] : set.receivers) {
        out.put(name.data(), name.size());
        out.put(static_cast<uint32_t>(modes.size()));
        for (const auto &[code, points] : modes) {
            out.put(code);
            out.put(static_cast<uint32_t>(points.size()));
            for (const auto &[frequency, table] : points) {
                out.put(frequency);
                out.put(table.data(), sizeof(Table));
            }
        }
    }
    return out.finish();
}

} // namespace smetersdk
