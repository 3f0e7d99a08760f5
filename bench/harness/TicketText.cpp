#include "harness/TicketText.h"

#include <algorithm>
#include <cctype>

namespace kps::bench {

std::vector<std::string> CodesIn(const std::string& text, const std::string& prefix) {
    std::vector<std::string> codes;
    for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) {
        std::size_t end = at + prefix.size();
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        if (end > at + prefix.size()) {
            std::string code = text.substr(at, end - at);
            if (std::find(codes.begin(), codes.end(), code) == codes.end()) {
                codes.push_back(std::move(code));
            }
        }
    }
    return codes;
}

std::string Code(const std::string& prefix, int number, int digits) {
    std::string n = std::to_string(number);
    if (static_cast<int>(n.size()) < digits) {
        n.insert(0, static_cast<std::size_t>(digits) - n.size(), '0');
    }
    return prefix + n;
}

}  // namespace kps::bench
