#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kps {

// What became of one network operation.
enum class NetStatus { Ok, Refused, TimedOut, Closed, Unreachable, Failed };

// One TCP connection to a printer. Every call is bounded in time, and a peer
// that has gone never raises SIGPIPE: it comes back as NetStatus::Closed.
class TcpConnection {
  public:
    TcpConnection() = default;
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Connects to `host` (dotted IPv4, or a name resolved to IPv4) within
    // `timeoutMs`. Refused means the host answered but nobody listens.
    NetStatus Connect(const std::string& host, int port, int timeoutMs);

    // Sends every byte, waiting at most `timeoutMs` for room each time.
    NetStatus SendAll(std::string_view bytes, int timeoutMs);

    // Waits at most `timeoutMs` for data and appends what arrived, at most
    // `maxBytes`.
    NetStatus Receive(std::string& into, std::size_t maxBytes, int timeoutMs);

    // Drops input nobody asked for; Closed when the peer has hung up.
    NetStatus DiscardPending();

    bool IsOpen() const { return fd_ >= 0; }
    void Close();

  private:
    int fd_ = -1;
};

// The IPv4 address (network byte order) of a dotted address or a host name;
// false when there is none.
bool ResolveIpv4(const std::string& host, unsigned int& addressOut);

}  // namespace kps
