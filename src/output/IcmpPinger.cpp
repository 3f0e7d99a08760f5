#include "output/IcmpPinger.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <iostream>

#include "output/IcmpEcho.h"
#include "output/TcpConnection.h"
#include "text/Text.h"

namespace kps {
namespace {

constexpr int kEchoTimeoutMs = 500;

using SteadyClock = std::chrono::steady_clock;

int MillisecondsLeft(SteadyClock::time_point deadline) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::uint32_t MillisecondsSince(SteadyClock::time_point start) {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start).count());
}

}  // namespace

IcmpPinger::IcmpPinger(int fallbackPort, std::ostream* notices, SocketOpener openSocket)
    : fallbackPort_(fallbackPort),
      notices_(notices != nullptr ? notices : &std::cerr),
      openSocket_(openSocket ? std::move(openSocket)
                             : [](int domain, int type,
                                  int protocol) { return ::socket(domain, type, protocol); }),
      identifier_(static_cast<std::uint16_t>(::getpid() & 0xFFFF)) {}

IcmpPinger::~IcmpPinger() {
    StopSockets();
}

bool IcmpPinger::PingAddress(const std::string& address) {
    if (!StartSockets()) {
        return false;
    }
    IcmpEchoReply reply;
    bool reachable = SendIcmpEcho(address, "", reply) == kIpSuccess;
    StopSockets();
    return reachable;
}

bool IcmpPinger::StartSockets() {
    StopSockets();
    fd_ = openSocket_(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd_ >= 0) {
        means_ = EchoMeans::DatagramIcmp;
        return true;
    }
    fd_ = openSocket_(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd_ >= 0) {
        means_ = EchoMeans::RawIcmp;
        return true;
    }
    means_ = EchoMeans::TcpConnect;
    if (!fallbackAnnounced_) {
        *notices_ << "ICMP sockets are not permitted here; printers are checked by a TCP "
                     "connection to port "
                  << fallbackPort_ << " instead.\n";
        fallbackAnnounced_ = true;
    }
    return true;
}

void IcmpPinger::StopSockets() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    means_ = EchoMeans::None;
}

long IcmpPinger::SendIcmpEcho(const std::string& address, const std::string& data,
                              IcmpEchoReply& reply) {
    reply = IcmpEchoReply{};
    in_addr target{};
    // A strict dotted address only: names are never resolved here.
    if (::inet_pton(AF_INET, address.c_str(), &target) != 1) {
        reply.status = kIpInvalidAddress;
        return reply.status;
    }
    switch (means_) {
        case EchoMeans::DatagramIcmp:
        case EchoMeans::RawIcmp:
            return EchoOverIcmp(target.s_addr, data, reply);
        case EchoMeans::TcpConnect:
            return EchoOverTcp(address, reply);
        case EchoMeans::None:
            break;
    }
    // Without a started means nothing was checked, so the host does not count
    // as answering.
    reply.status = kIpGeneralFailure;
    return reply.status;
}

long IcmpPinger::EchoOverIcmp(std::uint32_t target, const std::string& data, IcmpEchoReply& reply) {
    const bool raw = means_ == EchoMeans::RawIcmp;
    const std::uint16_t sequence = ++sequence_;
    const std::string request = BuildEchoRequest(identifier_, sequence, ToCodePage(data, 1252));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = target;

    const auto start = SteadyClock::now();
    const auto deadline = start + std::chrono::milliseconds(kEchoTimeoutMs);
    if (::sendto(fd_, request.data(), request.size(), MSG_NOSIGNAL,
                 reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) {
        reply.status = (errno == ENETUNREACH || errno == EHOSTUNREACH) ? kIpDestHostUnreachable
                                                                       : kIpGeneralFailure;
        return reply.status;
    }
    char buffer[1500];
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        int ready = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            reply.status = kIpRequestTimedOut;
            return reply.status;
        }
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        ssize_t got = ::recvfrom(fd_, buffer, sizeof buffer, MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got <= 0 || from.sin_addr.s_addr != target) {
            continue;
        }
        std::string_view packet(buffer, static_cast<std::size_t>(got));
        std::optional<std::uint16_t> identifier;
        if (raw) {
            identifier = identifier_;
        }
        if (IsEchoReplyTo(packet, raw, identifier, sequence)) {
            reply.address = from.sin_addr.s_addr;
            reply.roundTripMs = MillisecondsSince(start);
            reply.status = kIpSuccess;
            return reply.status;
        }
    }
}

long IcmpPinger::EchoOverTcp(const std::string& address, IcmpEchoReply& reply) const {
    const auto start = SteadyClock::now();
    TcpConnection probe;
    NetStatus status = probe.Connect(address, fallbackPort_, kEchoTimeoutMs);
    switch (status) {
        case NetStatus::Ok:
        case NetStatus::Refused:
            ::inet_pton(AF_INET, address.c_str(), &reply.address);
            reply.roundTripMs = MillisecondsSince(start);
            reply.status = kIpSuccess;
            break;
        case NetStatus::TimedOut:
            reply.status = kIpRequestTimedOut;
            break;
        case NetStatus::Unreachable:
            reply.status = kIpDestHostUnreachable;
            break;
        case NetStatus::Closed:
        case NetStatus::Failed:
            reply.status = kIpGeneralFailure;
            break;
    }
    return reply.status;
}

}  // namespace kps
