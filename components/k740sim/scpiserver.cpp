#include "scpiserver.h"

#include "scpiinterpreter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace k740sim {

namespace {

int Listen(int *port) {
    for (int p = ScpiServer::kFirstPort; p < ScpiServer::kFirstPort + ScpiServer::kPortsTried;
         ++p) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (s < 0) return -1;
        const int yes = 1;
        ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(std::uint16_t(p));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
            ::listen(s, 8) == 0) {
            *port = p;
            return s;
        }
        ::close(s);
    }
    return -1;
}

void SendAll(int s, const std::string &text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(s, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += std::size_t(n);
    }
}

struct Client {
    int socket;
    std::string pending;
};

} // namespace

ScpiServer &Server() {
    static ScpiServer *server = new ScpiServer;
    return *server;
}

int ScpiServer::Open() {
    std::lock_guard lock(mutex_);
    if (users_ > 0) {
        ++users_;
        return port_;
    }
    int port = 0;
    const int listener = Listen(&port);
    if (listener < 0) return 0;
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC) != 0) {
        ::close(listener);
        return 0;
    }
    wakeWrite_ = wake[1];
    port_ = port;
    users_ = 1;
    thread_ = std::thread(&ScpiServer::Serve, this, listener, wake[0]);
    return port_;
}

void ScpiServer::Close() {
    std::lock_guard lock(mutex_);
    if (users_ == 0 || --users_ > 0) return;
    const char stop = 0;
    (void)!::write(wakeWrite_, &stop, 1);
    thread_.join();
    ::close(wakeWrite_);
    wakeWrite_ = -1;
    port_ = 0;
}

int ScpiServer::Port() {
    std::lock_guard lock(mutex_);
    return port_;
}

void ScpiServer::Serve(int listener, int wakeRead) {
    std::vector<Client> clients;
    std::vector<pollfd> polled;
    char buffer[4096];
    while (true) {
        polled.clear();
        polled.push_back({wakeRead, POLLIN, 0});
        polled.push_back({listener, POLLIN, 0});
        for (const Client &c : clients)
            polled.push_back({c.socket, POLLIN, 0});
        if (::poll(polled.data(), polled.size(), -1) < 0) continue;
        if (polled[0].revents) break;
        if (polled[1].revents & POLLIN) {
            const int s = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (s >= 0) {
                const int yes = 1;
                ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
                clients.push_back({s, {}});
            }
        }
        for (std::size_t i = 2; i < polled.size(); ++i) {
            if (!polled[i].revents) continue;
            Client &c = clients[i - 2];
            const ssize_t n = ::recv(c.socket, buffer, sizeof buffer, 0);
            if (n <= 0) {
                ::close(c.socket);
                c.socket = -1;
                continue;
            }
            c.pending.append(buffer, std::size_t(n));
            std::size_t newline;
            while ((newline = c.pending.find('\n')) != std::string::npos) {
                const std::string answer = Interpreter().Execute(c.pending.substr(0, newline));
                c.pending.erase(0, newline + 1);
                if (!answer.empty()) SendAll(c.socket, answer + "\n");
            }
            // A line without end that outgrows any command is dropped.
            if (c.pending.size() > kMaxLine) {
                c.pending.clear();
                Interpreter().Error(-223, "Too much data");
            }
        }
        std::erase_if(clients, [](const Client &c) { return c.socket < 0; });
    }
    for (const Client &c : clients)
        ::close(c.socket);
    ::close(listener);
    ::close(wakeRead);
}

} // namespace k740sim
