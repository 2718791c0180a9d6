// The bench generator's remote control: the SCPI socket (127.0.0.1, port
// 5025 or the next free one), a LAN-GPIB adapter (127.0.0.1, port 1234 or the
// next free one) and a USB-GPIB adapter on a pseudo-terminal, with the
// generator at GPIB address 19 behind both adapters.
//
// One thread of its own runs an event loop over non-blocking descriptors, so
// that no client can hold up another: each ready client gets one read per
// turn; answers go out as far as the client takes them and wait in its own
// queue otherwise, which may grow to kMaxPending before the client is dropped
// (the pseudo-terminal's queue is emptied instead); a line longer than
// kMaxLine is refused with -223 in the error queue and skipped to its end; and
// every pending connection is accepted at once. Closing stops the loop at its
// next turn, whatever the clients do.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace k740sim {

class RemoteServer {
public:
    static constexpr int kScpiPort = 5025;
    static constexpr int kAdapterPort = 1234;
    static constexpr int kPortsTried = 100;
    static constexpr std::size_t kMaxLine = 65536;
    static constexpr std::size_t kMaxPending = 1 << 20;

    // Counts one more user; the first starts the servers. The SCPI port, or
    // 0 when no port could be had.
    int Open();
    // Counts one user less; the last stops the servers and drops the clients.
    void Close();
    int ScpiPort();
    int AdapterPort();
    // The pseudo-terminal of the USB-GPIB adapter ("" while closed).
    std::string SerialPath();

private:
    struct Listeners {
        int scpi = -1, adapter = -1, pty = -1, wake = -1;
    };
    void Serve(Listeners listeners);

    std::mutex mutex_;
    int users_ = 0;
    int scpiPort_ = 0;
    int adapterPort_ = 0;
    std::string serialPath_;
    int wakeWrite_ = -1;
    std::thread thread_;
};

// The server of the process; never destroyed, so that a program ending with
// it open does not wait for it.
RemoteServer &Server();

} // namespace k740sim
