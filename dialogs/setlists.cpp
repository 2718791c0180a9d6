#include "dialogs/setlists.h"

#include "calibration/smsdk.h"

#include <cstring>

namespace setlists {

namespace {

template <typename T, typename Call> std::vector<T> ReadList(std::int32_t bytes, Call call) {
    if (bytes <= 0) return {};
    std::vector<unsigned char> buffer(static_cast<std::size_t>(bytes));
    call(reinterpret_cast<T *>(buffer.data()), bytes);
    std::vector<T> list(buffer.size() / sizeof(T));
    if (!list.empty()) std::memcpy(list.data(), buffer.data(), list.size() * sizeof(T));
    return list;
}

} // namespace

std::vector<std::int32_t> ReadModes(std::int32_t cal, const char *receiver, std::int32_t bytes) {
    return ReadList<std::int32_t>(bytes, [&](std::int32_t *buffer, std::int32_t size) {
        Smsdk::Instance().GetModes(cal, receiver, buffer, size);
    });
}

std::vector<std::uint64_t> ReadFrequencies(std::int32_t cal, const char *receiver,
                                           std::int32_t mode, std::int32_t bytes) {
    return ReadList<std::uint64_t>(bytes, [&](std::uint64_t *buffer, std::int32_t size) {
        Smsdk::Instance().GetFrequencies(cal, receiver, mode, buffer, size);
    });
}

} // namespace setlists
