#pragma once

#include <optional>
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

// What tells a kept ticket from the others while new ones push it down the
// list: its time, key and items.
std::string TicketIdentity(const StoredTicket& ticket);

// The number (1: the last) that the ticket of `identity` has now; nothing
// when it is no longer kept.
std::optional<int> KeptTicketNumber(const std::vector<StoredTicket>& tickets,
                                    std::string_view identity);

// The server's line on the page: whose outlet it prints for, the last
// polling cycle and the status label; or, unhealthy, why.
std::string ServerLine(const StatusSnapshot& snapshot, SteadyTime now);

// "never" for a printer that has not printed since the server started.
std::string LastPrintedText(const PrinterStatus& printer);

// A button of the page: a form that posts `answer` and `ticket` (those not
// empty) to `path`.
struct PageAction {
    std::string label;
    std::string path;
    std::string answer;
    std::string ticket;  // a reprint's TicketIdentity
};

// What can be done about a printer now: resume a suspended one, answer its
// open divert question, a test print on a network or direct-port printer.
std::vector<PageAction> PrinterActions(const PrinterSnapshot& printer);

// Reprints `ticket`, the n-th last kept ticket of `device` when the page
// was made, wherever newer tickets have moved it since.
PageAction ReprintAction(const std::string& device, std::size_t n, const StoredTicket& ticket);

}  // namespace kps
