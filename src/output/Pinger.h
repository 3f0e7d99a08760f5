#pragma once

#include <string>

namespace kps {

// The reachability check done before an OPOS printer is opened.
class Pinger {
  public:
    virtual ~Pinger() = default;

    // True when the printer at `address` (dotted IPv4 text) answered.
    virtual bool PingAddress(const std::string& address) = 0;
};

}  // namespace kps
