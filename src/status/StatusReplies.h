#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kps {

struct StatusResponse {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // besides Content-Type
};

inline constexpr std::string_view kHtmlType = "text/html; charset=utf-8";
inline constexpr std::string_view kJsonType = "application/json";
inline constexpr std::string_view kTextType = "text/plain; charset=utf-8";

// A plain text answer, one line.
StatusResponse TextReply(int status, const std::string& text);

// "1" to `kept`, digits only: the n-th last kept ticket.
std::optional<std::size_t> TicketNumber(std::string_view text, std::size_t kept);

}  // namespace kps
