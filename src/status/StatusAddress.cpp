#include "status/StatusAddress.h"

namespace kps {

std::optional<StatusEndpoint> ParseStatusAddress(std::string_view text) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view host = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string_view::npos) {
        return std::nullopt;  // an IPv6 address needs its brackets
    }
    if (host.empty() || port.empty() || port.size() > 5) {
        return std::nullopt;
    }
    int number = 0;
    for (char c : port) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    if (number > 65535) {
        return std::nullopt;
    }
    return StatusEndpoint{std::string(host), number};
}

}  // namespace kps
