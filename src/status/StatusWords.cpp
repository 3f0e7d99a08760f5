#include "status/StatusWords.h"

#include "startup/IsoDateTime.h"
#include "status/StatusHealth.h"
#include "status/WebText.h"

namespace kps {

std::string_view StateKey(PrinterState state) {
    switch (state) {
        case PrinterState::Printing:
            return "printing";
        case PrinterState::NotPrinting:
            return "not_printing";
        case PrinterState::QuestionPending:
            return "question_pending";
        case PrinterState::Suspended:
            break;
    }
    return "suspended";
}

std::string_view FaultKey(PrintFault fault) {
    switch (fault) {
        case PrintFault::None:
            return "none";
        case PrintFault::Unreachable:
            return "unreachable";
        case PrintFault::Refused:
            return "refused";
        case PrintFault::CoverOpen:
            return "cover_open";
        case PrintFault::PaperOut:
            return "paper_out";
        case PrintFault::Offline:
            return "offline";
        case PrintFault::NoAnswer:
            return "no_answer";
        case PrintFault::PortNotWritable:
            return "port_not_writable";
        case PrintFault::NotLeased:
            return "not_leased";
        case PrintFault::NotRecorded:
            return "not_recorded";
        case PrintFault::Failed:
            break;
    }
    return "failed";
}

std::string_view KindWords(const std::string& printingType) {
    if (printingType == "O") {
        return "network printer";
    }
    if (printingType == "D") {
        return "direct port";
    }
    if (printingType.empty()) {
        return "";
    }
    return "system printer";
}

std::string TicketTitle(const StoredTicket& ticket) {
    std::string title = FormatIsoDateTime(ticket.time);
    if (!ticket.key.empty()) {
        title += " \u00B7 " + ticket.key;
    }
    const std::size_t items = ticket.itemIds.size();
    return title + " \u00B7 " + std::to_string(items) + (items == 1 ? " item" : " items");
}

std::string TicketIdentity(const StoredTicket& ticket) {
    std::string identity = FormatIsoDateTime(ticket.time) + " " + ticket.key + " ";
    for (const std::string& id : ticket.itemIds) {
        identity += id + ",";
    }
    return identity;
}

std::optional<int> KeptTicketNumber(const std::vector<StoredTicket>& tickets,
                                    std::string_view identity) {
    for (std::size_t i = 0; i < tickets.size(); ++i) {
        if (TicketIdentity(tickets[i]) == identity) {
            return static_cast<int>(i + 1);
        }
    }
    return std::nullopt;
}

std::string ServerLine(const StatusSnapshot& snapshot, SteadyTime now) {
    const Health health = HealthOf(snapshot, now);
    if (!health.healthy) {
        return health.text;
    }
    std::string line =
        health.text + " \u00B7 last polling cycle " + FormatIsoDateTime(snapshot.server.lastTick);
    if (!snapshot.server.statusLine.empty()) {
        line += " \u00B7 " + snapshot.server.statusLine;
    }
    return line;
}

std::string LastPrintedText(const PrinterStatus& printer) {
    return printer.lastPrinted ? FormatIsoDateTime(*printer.lastPrinted) : "never";
}

std::vector<PageAction> PrinterActions(const PrinterSnapshot& printer) {
    const std::string path = "/api/v1/printers/" + EncodePathSegment(printer.status.device);
    std::vector<PageAction> actions;
    if (printer.status.state == PrinterState::Suspended) {
        actions.push_back({"Resume", path + "/resume", "", ""});
    }
    if (printer.status.state == PrinterState::QuestionPending) {
        actions.push_back({"Divert", path + "/answer", "divert", ""});
        actions.push_back({"Divert every ticket", path + "/answer", "every", ""});
        actions.push_back({"Cancel printing", path + "/answer", "cancel", ""});
    }
    if (printer.printingType == "O" || printer.printingType == "D") {
        actions.push_back({"Test print", path + "/test-print", "", ""});
    }
    return actions;
}

PageAction ReprintAction(const std::string& device, std::size_t n, const StoredTicket& ticket) {
    return {"Reprint",
            "/api/v1/tickets/" + EncodePathSegment(device) + "/" + std::to_string(n) + "/reprint",
            "", TicketIdentity(ticket)};
}

}  // namespace kps
