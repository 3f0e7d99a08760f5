#pragma once

#include <set>
#include <string>

namespace kps {

// The printers the operator cancelled ("CANCEL PRINTING"): they get no
// ticket until resumed; "Restart" clears them all.
struct DivertState {
    std::set<std::string> CancelledPrinters;
};

}  // namespace kps
