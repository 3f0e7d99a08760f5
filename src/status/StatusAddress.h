#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kps {

struct StatusEndpoint {
    std::string host;
    int port = 0;  // 0: any free port

    bool operator==(const StatusEndpoint&) const = default;
};

// [PrintServer] StatusAddress: "host:port" or "[IPv6 address]:port", the
// port from 0 to 65535. Nothing for any other text.
std::optional<StatusEndpoint> ParseStatusAddress(std::string_view text);

}  // namespace kps
