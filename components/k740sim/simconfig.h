// The configuration file of the simulated radio (format: README.md here).
#pragma once

#include "k740sim.h"

#include <cstdint>
#include <string>
#include <vector>

namespace k740sim {

struct SimConfig {
    std::vector<k740sim_info> receivers; // the demo receiver first
    std::uint64_t seed = 1;
};

// The demo receiver's properties.
k740sim_info DemoReceiver();

// Reads the file named by K740SIM_CONFIG (if set) and K740SIM_SEED. Faulty
// lines and receivers are reported on stderr and left out; a missing file
// leaves the demo receiver alone.
SimConfig LoadSimConfig();

// Parses configuration text; `origin` names it in warnings.
SimConfig ParseSimConfig(const std::string &text, const std::string &origin);

} // namespace k740sim
