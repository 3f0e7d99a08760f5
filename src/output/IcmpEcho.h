#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The wire form of an ICMP echo, kept apart from the sockets so that it can
// be checked on its own.
namespace kps {

// The one's-complement sum of 16-bit words that ICMP carries.
std::uint16_t InternetChecksum(std::string_view bytes);

// An echo request (type 8, code 0) with the identifier, sequence and payload.
std::string BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                             std::string_view payload = {});

// True when `packet` is the echo reply (type 0) with `sequence` and, when
// given, `identifier`. A raw socket hands over the IP header as well
// (`hasIpHeader`); a datagram socket does not, and its kernel chooses the
// identifier, so that one is matched by sequence alone.
bool IsEchoReplyTo(std::string_view packet, bool hasIpHeader,
                   std::optional<std::uint16_t> identifier, std::uint16_t sequence);

}  // namespace kps
