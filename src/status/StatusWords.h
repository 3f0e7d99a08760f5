#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output/PrintFault.h"
#include "sending/PrinterStates.h"
#include "status/StatusSnapshot.h"

namespace kps {

// Keys of the printer states and reasons for the API, the metrics and the
// page's style: "printing", "not_printing", "question_pending", "suspended".
std::string_view StateKey(PrinterState state);
// "none", "unreachable", "refused", "cover_open", ...
std::string_view FaultKey(PrintFault fault);

// "network printer", "direct port", "system printer"; "" when unknown.
std::string_view KindWords(const std::string& printingType);

// A kept ticket in a list: "2026-12-07 22:05:09 · T5 · 3 items".
std::string TicketTitle(const StoredTicket& ticket);

// The server's line on the page: whose outlet it prints for, the last
// polling cycle and the status label; or, unhealthy, why.
std::string ServerLine(const StatusSnapshot& snapshot, SteadyTime now);

// "never" for a printer that has not printed since the server started.
std::string LastPrintedText(const PrinterStatus& printer);

// A button of the page: a form that posts `answer` (when not empty) to
// `path`.
struct PageAction {
    std::string label;
    std::string path;
    std::string answer;
};

// What can be done about a printer now: resume a suspended one, answer its
// open divert question, a test print on a network or direct-port printer.
std::vector<PageAction> PrinterActions(const PrinterSnapshot& printer);

// Reprints the n-th last kept ticket of `device`.
PageAction ReprintAction(const std::string& device, std::size_t n);

}  // namespace kps
