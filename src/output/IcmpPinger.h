#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "output/Pinger.h"

namespace kps {

// Status values of one echo, as the platform's echo reply record reports them.
enum IcmpStatus : long {
    kIpSuccess = 0,
    kIpInvalidAddress = -1,  // not a dotted IPv4 address: nothing was sent
    kIpDestHostUnreachable = 11003,
    kIpRequestTimedOut = 11010,
    kIpGeneralFailure = 11050,
};

// What one echo left: the replying address (network byte order), the status
// and the round trip.
struct IcmpEchoReply {
    std::uint32_t address = 0;
    long status = kIpSuccess;
    std::uint32_t roundTripMs = 0;
};

// How the echo reaches the printer: an unprivileged ICMP datagram socket, a
// raw ICMP socket, or, where neither may be opened, a TCP connection attempt
// to the printer's port (a refused connection proves the host answered too).
enum class EchoMeans { None, DatagramIcmp, RawIcmp, TcpConnect };

// The reachability check: one echo without payload, 500 ms timeout; only
// status 0 counts as reachable.
class IcmpPinger final : public Pinger {
  public:
    // Opens a socket as ::socket does; tests hand in one that refuses some kinds.
    using SocketOpener = std::function<int(int domain, int type, int protocol)>;

    explicit IcmpPinger(int fallbackPort = 9100, std::ostream* notices = nullptr,
                        SocketOpener openSocket = {});
    ~IcmpPinger() override;
    IcmpPinger(const IcmpPinger&) = delete;
    IcmpPinger& operator=(const IcmpPinger&) = delete;

    bool PingAddress(const std::string& address) override;

    // Chooses the means of the echo and opens its socket. True when there is one.
    bool StartSockets();
    void StopSockets();

    // One echo to `address` carrying `data`; returns the status, also left in `reply`.
    long SendIcmpEcho(const std::string& address, const std::string& data, IcmpEchoReply& reply);

    EchoMeans Means() const { return means_; }

  private:
    long EchoOverIcmp(std::uint32_t target, const std::string& data, IcmpEchoReply& reply);
    long EchoOverTcp(const std::string& address, IcmpEchoReply& reply) const;

    int fallbackPort_;
    std::ostream* notices_;
    SocketOpener openSocket_;
    EchoMeans means_ = EchoMeans::None;
    int fd_ = -1;
    bool fallbackAnnounced_ = false;
    std::uint16_t identifier_;
    std::uint16_t sequence_ = 0;
};

}  // namespace kps
