// The bench generator's SCPI command set: one line in, the answer line out,
// errors into the instrument's error queue. Settings reach the model through
// the library's own k740sim_SetGenerator, so every view of the generator
// (the module's window included) sees them.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

namespace k740sim {

class ScpiInterpreter {
public:
    static constexpr std::size_t kQueueSize = 10;
    static constexpr double kLowestHz = 9e3, kHighestHz = 3.5e9;
    static constexpr double kLowestDbm = -140.0, kHighestDbm = 0.0;

    // Executes the commands of one line (separated by ";") and answers the
    // queries' results joined by ";"; empty when the line held no query.
    std::string Execute(const std::string &line);
    // Empties the error queue.
    void Clear();
    // Adds an entry to the error queue (the oldest are kept; a full queue
    // ends with -350, "Queue overflow").
    void Error(int code, const char *text);

private:
    void Command(std::string text, std::string &answer);
    std::string NextError();

    std::mutex mutex_;
    std::deque<std::string> errors_;
};

// The interpreter of the process (one instrument, one error queue).
ScpiInterpreter &Interpreter();

} // namespace k740sim
