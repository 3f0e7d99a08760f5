#pragma once

#include <string>

namespace kps {

// Why a printer did not take a ticket, as its lane reports it.
enum class PrintFault {
    None,
    Unreachable,  // no answer to the reachability check, or no route
    Refused,      // the host answered but nobody listens on the port
    CoverOpen,
    PaperOut,
    Offline,          // the printer reports itself offline or in error
    NoAnswer,         // connected, then silent
    PortNotWritable,  // a direct port that cannot be opened or written in time
    NotLeased,        // another server holds the outlet: nothing was sent
    NotRecorded,      // the print journal could not be written: nothing was sent
    Failed,           // anything else
};

// The reason in words, for the operator: "unreachable", "cover open", ...
std::string DescribePrintFault(PrintFault fault);

}  // namespace kps
