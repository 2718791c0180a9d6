#include "remoteserver.h"

#include "gpibadapter.h"
#include "scpiinterpreter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <list>
#include <memory>
#include <vector>

namespace k740sim {

namespace {

using Clock = std::chrono::steady_clock;

// A client's line may hold this much; a read takes at most this much per turn.
constexpr std::size_t kReadSize = 16384;
// A pseudo-terminal without a client, or descriptors run out: look again after this.
constexpr auto kRetry = std::chrono::milliseconds(50);

int Listen(int firstPort, int *port) {
    for (int p = firstPort; p < firstPort + RemoteServer::kPortsTried; ++p) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (s < 0) return -1;
        const int yes = 1;
        ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(std::uint16_t(p));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // A backlog to match bursts of connections; every one is accepted per turn.
        if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
            ::listen(s, SOMAXCONN) == 0) {
            *port = p;
            return s;
        }
        ::close(s);
    }
    return -1;
}

// The master side of a raw pseudo-terminal; its slave's path into `path`.
int OpenPty(std::string &path) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master < 0) return -1;
    char name[256];
    termios raw{};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0 || ::tcgetattr(master, &raw) != 0) {
        ::close(master);
        return -1;
    }
    // No echo and no line editing: bytes pass as a serial line passes them.
    ::cfmakeraw(&raw);
    ::tcsetattr(master, TCSANOW, &raw);
    path = name;
    return master;
}

struct Client {
    int fd = -1;
    bool pty = false;
    std::unique_ptr<GpibAdapter> adapter; // null: the SCPI socket
    std::string input;
    bool skipping = false; // the rest of an over-long line is dropped
    bool escaped = false;  // the adapter's ESC came last
    std::string output;
    std::size_t sent = 0;
    bool dead = false;

    std::size_t Pending() const { return output.size() - sent; }
};

void Line(Client &c) {
    if (c.adapter) {
        if (!c.input.empty()) c.adapter->Line(c.input, c.output);
    } else {
        const std::string answer = Interpreter().Execute(c.input);
        if (!answer.empty()) c.output.append(answer).append("\n");
    }
    c.input.clear();
}

// Splits what came into lines: LF ends a line (CR too for an adapter, whose
// ESC makes the next byte plain data).
void Feed(Client &c, const char *data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const char b = data[i];
        const bool end = !c.escaped && (b == '\n' || (c.adapter && b == '\r'));
        if (c.skipping) {
            c.escaped = !c.escaped && c.adapter && b == 0x1B;
            if (end) c.skipping = false;
            continue;
        }
        if (end) {
            Line(c);
            continue;
        }
        if (c.adapter && !c.escaped && b == 0x1B) {
            c.escaped = true;
            continue;
        }
        c.escaped = false;
        // A line that outgrows any command is refused and skipped to its end.
        if (c.input.size() >= RemoteServer::kMaxLine) {
            c.input.clear();
            c.skipping = true;
            Interpreter().Error(-223, "Too much data");
            continue;
        }
        c.input += b;
    }
}

// Sends what the client takes now; false when it is gone.
bool Flush(Client &c) {
    while (c.Pending() > 0) {
        const ssize_t n = c.pty ? ::write(c.fd, c.output.data() + c.sent, c.Pending())
                                : ::send(c.fd, c.output.data() + c.sent, c.Pending(), MSG_NOSIGNAL);
        if (n > 0) {
            c.sent += std::size_t(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) break;
        return false;
    }
    if (c.sent == c.output.size()) {
        c.output.clear();
        c.sent = 0;
    } else if (c.sent > kReadSize) {
        c.output.erase(0, c.sent);
        c.sent = 0;
    }
    return true;
}

void DropOutput(Client &c) {
    c.output.clear();
    c.sent = 0;
    if (c.pty) ::tcflush(c.fd, TCIOFLUSH);
}

} // namespace

RemoteServer &Server() {
    static RemoteServer *server = new RemoteServer;
    return *server;
}

int RemoteServer::Open() {
    std::lock_guard lock(mutex_);
    if (users_ > 0) {
        ++users_;
        return scpiPort_;
    }
    Listeners l;
    int scpiPort = 0, adapterPort = 0;
    l.scpi = Listen(kScpiPort, &scpiPort);
    if (l.scpi < 0) return 0;
    // The adapters are extras: the SCPI socket works without them.
    l.adapter = Listen(kAdapterPort, &adapterPort);
    std::string path;
    l.pty = OpenPty(path);
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC) != 0) {
        for (int fd : {l.scpi, l.adapter, l.pty})
            if (fd >= 0) ::close(fd);
        return 0;
    }
    l.wake = wake[0];
    wakeWrite_ = wake[1];
    scpiPort_ = scpiPort;
    adapterPort_ = l.adapter >= 0 ? adapterPort : 0;
    serialPath_ = l.pty >= 0 ? path : std::string();
    users_ = 1;
    thread_ = std::thread(&RemoteServer::Serve, this, l);
    return scpiPort_;
}

void RemoteServer::Close() {
    std::lock_guard lock(mutex_);
    if (users_ == 0 || --users_ > 0) return;
    const char stop = 0;
    (void)!::write(wakeWrite_, &stop, 1);
    // The loop never waits on a client, so it ends at its next turn.
    thread_.join();
    ::close(wakeWrite_);
    wakeWrite_ = -1;
    scpiPort_ = 0;
    adapterPort_ = 0;
    serialPath_.clear();
}

int RemoteServer::ScpiPort() {
    std::lock_guard lock(mutex_);
    return scpiPort_;
}

int RemoteServer::AdapterPort() {
    std::lock_guard lock(mutex_);
    return adapterPort_;
}

std::string RemoteServer::SerialPath() {
    std::lock_guard lock(mutex_);
    return serialPath_;
}

void RemoteServer::Serve(Listeners l) {
    std::list<Client> clients;
    Client pty;
    pty.fd = l.pty;
    pty.pty = true;
    pty.adapter = std::make_unique<GpibAdapter>("K740SIM USB-GPIB adapter 1.0");
    Clock::time_point ptyIdleUntil{}, acceptPausedUntil{};
    std::vector<pollfd> polled;
    std::vector<Client *> owners; // of polled[i], null for wake and listeners
    std::vector<char> buffer(kReadSize);

    auto add = [&](int fd, short events, Client *owner) {
        polled.push_back({fd, events, 0});
        owners.push_back(owner);
    };
    auto acceptAll = [&](int listener, bool adapter) {
        for (;;) {
            const int s = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (s < 0) {
                if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                    acceptPausedUntil = Clock::now() + kRetry;
                return;
            }
            const int yes = 1;
            ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            Client &c = clients.emplace_back();
            c.fd = s;
            if (adapter) c.adapter = std::make_unique<GpibAdapter>("K740SIM LAN-GPIB adapter 1.0");
        }
    };

    for (;;) {
        polled.clear();
        owners.clear();
        const Clock::time_point now = Clock::now();
        Clock::time_point wakeAt = Clock::time_point::max();
        add(l.wake, POLLIN, nullptr);
        if (now >= acceptPausedUntil) {
            add(l.scpi, POLLIN, nullptr);
            if (l.adapter >= 0) add(l.adapter, POLLIN, nullptr);
        } else {
            wakeAt = acceptPausedUntil;
        }
        if (pty.fd >= 0) {
            // A pseudo-terminal that no client holds open reports a hang-up
            // at once; it is looked at again a little later.
            if (now >= ptyIdleUntil)
                add(pty.fd, short(POLLIN | (pty.Pending() ? POLLOUT : 0)), &pty);
            else
                wakeAt = std::min(wakeAt, ptyIdleUntil);
        }
        for (Client &c : clients)
            add(c.fd, short(POLLIN | (c.Pending() ? POLLOUT : 0)), &c);
        int timeout = -1; // until something happens
        if (wakeAt != Clock::time_point::max())
            timeout = std::max(
                0, int(std::chrono::ceil<std::chrono::milliseconds>(wakeAt - now).count()));
        if (::poll(polled.data(), polled.size(), timeout) < 0) continue;
        if (polled[0].revents) break;

        for (std::size_t i = 1; i < polled.size(); ++i) {
            const short revents = polled[i].revents;
            if (!revents) continue;
            Client *c = owners[i];
            if (!c) {
                acceptAll(polled[i].fd, polled[i].fd == l.adapter);
                continue;
            }
            if (revents & (POLLIN | POLLHUP | POLLERR)) {
                const ssize_t n = ::read(c->fd, buffer.data(), buffer.size());
                if (n > 0) {
                    Feed(*c, buffer.data(), std::size_t(n));
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    if (c->pty) {
                        // No client on the pseudo-terminal (its read fails).
                        DropOutput(*c);
                        c->input.clear();
                        c->skipping = c->escaped = false;
                        ptyIdleUntil = Clock::now() + kRetry;
                        continue;
                    }
                    c->dead = true;
                    continue;
                }
            }
            if (c->Pending() && !Flush(*c)) {
                if (c->pty)
                    DropOutput(*c);
                else
                    c->dead = true;
                continue;
            }
            // A client that does not read loses its answers and then itself.
            if (c->Pending() > kMaxPending) {
                if (c->pty)
                    DropOutput(*c);
                else
                    c->dead = true;
            }
        }
        for (auto it = clients.begin(); it != clients.end();) {
            if (it->dead) {
                ::close(it->fd);
                it = clients.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const Client &c : clients)
        ::close(c.fd);
    for (int fd : {l.scpi, l.adapter, l.pty, l.wake})
        if (fd >= 0) ::close(fd);
}

} // namespace k740sim
