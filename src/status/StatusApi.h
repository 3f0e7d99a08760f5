#pragma once

#include <string>
#include <vector>

#include "output/PosPrinterRegistry.h"
#include "status/StatusSnapshot.h"

namespace kps {

// GET /api/v1/status: {"server": {...}, "printers": [...], "waiting":
// {"columns", "rows", "total"}, "tickets": [{"device", "tickets": [...]}]}.
// Every field the page shows comes with its text as the page shows it.
std::string StatusJson(const StatusSnapshot& snapshot, SteadyTime now);

// GET /api/v1/tickets/<device>: the device's kept tickets, the last first,
// each with its paper lines: {"device", "tickets": [{"n", "time", "key",
// "items", "title", "lines": [{"align", "cut", "runs": [{"text", "width",
// "height", "red"}], and for a drawn line "image": {"width", "height" (dots),
// "red"}}]}]}, read in the device's encoding as KeptTicketReader reads it.
std::string TicketsJson(const std::string& device, const std::vector<StoredTicket>& tickets,
                        int codePage, const PosPrinterRegistry* printers);

}  // namespace kps
