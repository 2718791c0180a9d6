#include "simulatedbench.h"

#include "k740sim.h"
#include "platform/libraryloader.h"

namespace SimulatedBench {

std::optional<int> ScpiPort() {
    const platform::LibraryHandle simulation =
        platform::FindLoadedLibrary(QStringLiteral("libk740sim.so"));
    if (!simulation) return std::nullopt;
    const auto port = reinterpret_cast<decltype(&k740sim_ScpiPort)>(
        platform::GetProcAddress(simulation, "k740sim_ScpiPort"));
    const int answer = port ? port() : 0;
    platform::UnloadLibrary(simulation);
    if (answer <= 0) return std::nullopt;
    return answer;
}

} // namespace SimulatedBench
