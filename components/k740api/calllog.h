// The record of calls received, for tests of the calling order.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

namespace k7api {

class CallLog {
public:
    static constexpr std::size_t Capacity = 10000;

    // Records "name(arguments)".
    void add(const char *name, const std::string &arguments);
    std::string text() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<std::string> lines_;
};

// Formats the arguments of a call: "1,2,-3".
template <typename... Args> std::string Arguments(Args... args) {
    std::string out;
    ((out += (out.empty() ? "" : ",") + std::to_string(args)), ...);
    return out;
}

} // namespace k7api
