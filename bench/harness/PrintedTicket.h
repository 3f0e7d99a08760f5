#pragma once

#include <cstdint>
#include <string>

namespace kps::bench {

// One ticket as it reached a printer: from an ESC @ to the next one.
struct PrintedTicket {
    std::string printer;     // the device name
    std::int64_t arrivedUs;  // when its ESC @ came, microseconds since the epoch
    std::string text;        // decoded, readable
};

std::int64_t NowUs();

}  // namespace kps::bench
