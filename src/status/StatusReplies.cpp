#include "status/StatusReplies.h"

namespace kps {

StatusResponse TextReply(int status, const std::string& text) {
    return {status, std::string(kTextType), text + "\n", {}};
}

std::optional<std::size_t> TicketNumber(std::string_view text, std::size_t kept) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    std::size_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return n >= 1 && n <= kept ? std::optional(n) : std::nullopt;
}

}  // namespace kps
