#pragma once

#include <functional>
#include <string>

#include "output/Pinger.h"
#include "output/PosPrinter.h"
#include "output/PrinterCodes.h"
#include "output/TicketBuffers.h"
#include "output/WaitPause.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"

namespace kps {

// How one owner of a printer control opens it: the main window claims with
// 1000 ms and pauses after a bad result code; the divert dialog claims with
// 50 ms and does not pause.
struct OposRoutineOptions {
    long claimTimeoutMs = 1000;
    bool pauseOnBadResult = true;
    std::string owner = "MDIForm1";  // named in the common error report
};

// OpenOpsLDN, CloseOpsLDN and PrintOposTicket on one printer control.
class OposPrinterRoutines {
  public:
    OposPrinterRoutines(PosPrinter& printer, Pinger& pinger, WaitPause& pause, const PrintLog& log,
                        Operator& op, OposRoutineOptions options = {});

    // True when the device is open, claimed and enabled; the caller prints and
    // then closes it. False leaves nothing open. A bad result code is logged
    // ("Error Open '...'") once until the device opens again.
    bool OpenOpsLDN(const std::string& deviceName, const std::string& address);

    // Waits until the printer may be released (its confirmation or its fixed
    // pause), then disables and closes the device.
    void CloseOpsLDN();

    // Prints List3 of the ticket on the open device, ends it with the cut (or
    // CR LF), closes the device, and sets ticket.PrintFailed. `mayStart`,
    // when given, is asked once the printer's status allows printing, just
    // before the first byte; false sends nothing (LastFault NotLeased).
    void PrintOposTicket(TicketBuffers& ticket, const PrinterCodes& codes,
                         const std::function<bool()>& mayStart = {});

    PosPrinter& Printer() { return printer_; }

    // Why the last open or print failed: no answer to the reachability
    // check, or what the printer reported.
    PrintFault LastFault() const { return lastFault_; }

    // True when the last PrintOposTicket sent any of the ticket's lines.
    bool SentTicket() const { return sentTicket_; }

  private:
    PosPrinter& printer_;
    Pinger& pinger_;
    WaitPause& pause_;
    const PrintLog& log_;
    Operator& operator_;
    OposRoutineOptions options_;
    PrintFault lastFault_ = PrintFault::None;
    bool sentTicket_ = false;
    bool openFailing_ = false;
};

}  // namespace kps
