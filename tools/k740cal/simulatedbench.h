// The bench generator of the simulated radio: when the receiver API in use is
// the simulation's, its generator answers SCPI on 127.0.0.1 while a receiver
// is open, at a port the simulation chose. Found only in a process that has
// the simulation loaded already (it is never loaded for this).
#pragma once

#include <optional>

namespace SimulatedBench {

// The SCPI port of the simulated bench generator; nothing when there is no
// simulation in the process or its server is closed.
std::optional<int> ScpiPort();

} // namespace SimulatedBench
