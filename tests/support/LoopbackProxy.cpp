#include "support/LoopbackProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace kps::test {
namespace {

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

}  // namespace

LoopbackProxy::LoopbackProxy(std::uint16_t target) : target_(target) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("the proxy cannot listen");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackProxy::~LoopbackProxy() {
    stopping_ = true;
    thread_.join();
    for (auto [client, server] : pairs_) {
        close(client);
        close(server);
    }
    close(listener_);
}

void LoopbackProxy::Serve() {
    while (!stopping_) {
        if (frozen_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        std::vector<pollfd> fds{{listener_, POLLIN, 0}};
        for (auto [client, server] : pairs_) {
            fds.push_back({client, POLLIN, 0});
            fds.push_back({server, POLLIN, 0});
        }
        if (poll(fds.data(), fds.size(), 50) <= 0 || frozen_) {
            continue;
        }
        if (fds[0].revents != 0) {
            Accept();
        }
        std::vector<std::pair<int, int>> open;
        for (std::size_t i = 0; i < fds.size() / 2; ++i) {
            auto [client, server] = pairs_[i];
            const bool alive = (fds[1 + 2 * i].revents == 0 || Pass(client, server)) &&
                               (fds[2 + 2 * i].revents == 0 || Pass(server, client));
            if (alive) {
                open.emplace_back(client, server);
            } else {
                close(client);
                close(server);
            }
        }
        open.insert(open.end(), pairs_.begin() + static_cast<long>(fds.size() / 2), pairs_.end());
        pairs_ = std::move(open);
    }
}

void LoopbackProxy::Accept() {
    int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
        return;
    }
    int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(target_);
    if (server < 0 || connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(client);
        if (server >= 0) {
            close(server);
        }
        return;
    }
    pairs_.emplace_back(client, server);
}

bool LoopbackProxy::Pass(int from, int to) {
    char buffer[65536];
    ssize_t got = read(from, buffer, sizeof buffer);
    for (ssize_t sent = 0; got > 0 && sent < got;) {
        ssize_t n = send(to, buffer + sent, static_cast<std::size_t>(got - sent), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += n;
    }
    return got > 0;
}

}  // namespace kps::test
