// The bench's GPIB adapter as a client sees it: lines of "++" controller
// commands, which the adapter answers itself, and lines for the instrument at
// the addressed GPIB address, which it passes on. The bench generator sits at
// address 19; no other address has a listener. One object per connection
// (the adapter's settings and the instrument's unread answer live there).
#pragma once

#include "k740sim.h"

#include <string>

namespace k740sim {

class GpibAdapter {
public:
    static constexpr int kGeneratorAddress = K740SIM_GPIB_ADDRESS;

    explicit GpibAdapter(std::string version) : version_(std::move(version)) {}

    // One line, escapes already removed, without its end. Appends to `out`
    // whatever goes back to the client (lines ending with LF).
    void Line(const std::string &line, std::string &out);

private:
    void Command(const std::string &name, const std::string &argument, std::string &out);

    std::string version_;
    bool controller_ = true;
    int address_ = kGeneratorAddress;
    bool autoRead_ = false;
    bool eoi_ = true;
    int eos_ = 0;
    int readTimeoutMs_ = 500;
    std::string unread_; // the instrument's answer, until read
    bool hasUnread_ = false;
};

} // namespace k740sim
