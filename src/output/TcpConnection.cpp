#include "output/TcpConnection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace kps {
namespace {

NetStatus StatusOfError(int error) {
    switch (error) {
        case ECONNREFUSED:
            return NetStatus::Refused;
        case ETIMEDOUT:
            return NetStatus::TimedOut;
        case ENETUNREACH:
        case EHOSTUNREACH:
        case ENETDOWN:
        case EHOSTDOWN:
            return NetStatus::Unreachable;
        case ECONNRESET:
        case EPIPE:
        case ECONNABORTED:
            return NetStatus::Closed;
        default:
            return NetStatus::Failed;
    }
}

// Waits for `events` on the socket; false when the time ran out first.
bool WaitFor(int fd, short events, int timeoutMs, short& revents) {
    pollfd p{fd, events, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    } while (rc < 0 && errno == EINTR);
    revents = p.revents;
    return rc > 0;
}

}  // namespace

bool ResolveIpv4(const std::string& host, unsigned int& addressOut) {
    in_addr address{};
    if (::inet_pton(AF_INET, host.c_str(), &address) == 1) {
        addressOut = address.s_addr;
        return true;
    }
    if (host.empty()) {
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    addressOut = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return true;
}

TcpConnection::~TcpConnection() {
    Close();
}

void TcpConnection::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

NetStatus TcpConnection::Connect(const std::string& host, int port, int timeoutMs) {
    Close();
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<std::uint16_t>(port));
    unsigned int address = 0;
    if (port <= 0 || port > 65535 || !ResolveIpv4(host, address)) {
        return NetStatus::Unreachable;
    }
    target.sin_addr.s_addr = address;

    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return NetStatus::Failed;
    }
    if (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        if (errno != EINPROGRESS) {
            NetStatus status = StatusOfError(errno);
            ::close(fd);
            return status;
        }
        short revents = 0;
        if (!WaitFor(fd, POLLOUT, timeoutMs, revents)) {
            ::close(fd);
            return NetStatus::TimedOut;
        }
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            ::close(fd);
            return StatusOfError(error);
        }
    }
    // Status queries are a few bytes each and wait for their answer; holding
    // them back for an acknowledgement would cost tens of milliseconds each.
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    fd_ = fd;
    return NetStatus::Ok;
}

NetStatus TcpConnection::SendAll(std::string_view bytes, int timeoutMs) {
    if (fd_ < 0) {
        return NetStatus::Closed;
    }
    while (!bytes.empty()) {
        ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            short revents = 0;
            if (!WaitFor(fd_, POLLOUT, timeoutMs, revents)) {
                return NetStatus::TimedOut;
            }
            continue;
        }
        return StatusOfError(errno);
    }
    return NetStatus::Ok;
}

NetStatus TcpConnection::Receive(std::string& into, std::size_t maxBytes, int timeoutMs) {
    if (fd_ < 0) {
        return NetStatus::Closed;
    }
    short revents = 0;
    if (!WaitFor(fd_, POLLIN, timeoutMs, revents)) {
        return NetStatus::TimedOut;
    }
    char buffer[512];
    std::size_t wanted = maxBytes < sizeof buffer ? maxBytes : sizeof buffer;
    ssize_t got;
    do {
        got = ::recv(fd_, buffer, wanted, 0);
    } while (got < 0 && errno == EINTR);
    if (got == 0) {
        return NetStatus::Closed;
    }
    if (got < 0) {
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? NetStatus::TimedOut
                                                         : StatusOfError(errno);
    }
    into.append(buffer, static_cast<std::size_t>(got));
    return NetStatus::Ok;
}

NetStatus TcpConnection::DiscardPending() {
    // Bounded, so a peer that never stops talking cannot hold us here.
    std::string dropped;
    for (int round = 0; round < 128; ++round) {
        dropped.clear();
        NetStatus status = Receive(dropped, 512, 0);
        if (status == NetStatus::TimedOut) {
            return NetStatus::Ok;
        }
        if (status != NetStatus::Ok) {
            return status;
        }
    }
    return NetStatus::Ok;
}

}  // namespace kps
