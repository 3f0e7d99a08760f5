#pragma once

#include <optional>
#include <string>
#include <vector>

#include "database/Connection.h"
#include "output/PosPrinterRegistry.h"
#include "output/PrinterCodes.h"
#include "reprint/ReprintStore.h"
#include "sending/ReprintSender.h"
#include "startup/PrintLog.h"

namespace kps {

// Sends a kept ticket to its printer once more, marked as a
// copy, with no items attached: a reprint never marks anything printed.
class TicketReprinter {
  public:
    TicketReprinter(Connection& db, const PrintLog& log, const ReprintStore& store,
                    ReprintSender& sender, int codePage,
                    const PosPrinterRegistry* printers = nullptr);

    // The n-th last ticket of `device` (1: the last). False, with a log line,
    // when none is kept or the device is no network or direct-port printer.
    bool Reprint(const std::string& device, int n);

    // A short ticket naming `device`, its address, `now` and the characters
    // of the code page, as the status page's test print. False, with a log
    // line, when the device is no network or direct-port printer.
    bool TestPrint(const std::string& device, LocalDateTime now);

    // Serves the reprint requests waiting in `stateFolder`, oldest first.
    void TakeRequests(const std::string& stateFolder);

  private:
    // A job for `device` with its type, address and codes; nothing, with a
    // log line, for a device that is no network or direct-port printer.
    std::optional<PrintJob> JobFor(const std::string& device, JobKind kind);
    void Send(PrintJob job, std::vector<std::string> lines);

    Connection& db_;
    const PrintLog& log_;
    const ReprintStore& store_;
    ReprintSender& sender_;
    int codePage_;
    const PosPrinterRegistry* printers_;  // a direct port's encoding
};

// What is kept of a printed ticket: what its printer was sent, the List3
// lines of a network printer, or a direct port's text cut in two where the
// header ends.
StoredTicket KeptTicket(const PrintJob& job, LocalDateTime printed);

// The test ticket's lines for `job`'s printer, with its codes.
std::vector<std::string> TestTicketLines(const PrintJob& job, LocalDateTime now, int codePage);

// The kept ticket with "*** REPRINT ***" centred after its header, with the
// codes of `printingType` ("O" or "D").
std::vector<std::string> LabelledReprint(const StoredTicket& ticket, const PrinterCodes& codes,
                                         const std::string& printingType);

}  // namespace kps
