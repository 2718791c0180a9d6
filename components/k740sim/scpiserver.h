// The bench generator's SCPI socket: raw TCP on the loopback address only,
// port 5025 or the next free one, one thread serving every client. Lines end
// with "\n"; each answered line gets one answer line.
#pragma once

#include <cstdint>
#include <mutex>
#include <thread>

namespace k740sim {

class ScpiServer {
public:
    static constexpr int kFirstPort = 5025;
    static constexpr int kPortsTried = 100;
    static constexpr std::size_t kMaxLine = 65536;

    // Counts one more user; the first starts listening. The port, or 0 when
    // no port could be had.
    int Open();
    // Counts one user less; the last stops the server and drops its clients.
    void Close();
    int Port();

private:
    void Serve(int listener, int wakeRead);

    std::mutex mutex_;
    int users_ = 0;
    int port_ = 0;
    int wakeWrite_ = -1;
    std::thread thread_;
};

// The server of the process; never destroyed, so that a program ending with
// it open does not wait for it.
ScpiServer &Server();

} // namespace k740sim
