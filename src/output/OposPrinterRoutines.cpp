#include "output/OposPrinterRoutines.h"

#include <exception>
#include <optional>
#include <utility>

#include "text/KpsError.h"

namespace kps {
namespace {

struct Fault {
    long number;
    std::string description;
};

// Runs `body` and catches a fault of the printer control.
template <typename Body>
std::optional<Fault> Caught(Body&& body) {
    try {
        std::forward<Body>(body)();
        return std::nullopt;
    } catch (const KpsError& error) {
        return Fault{error.Number(), error.Description()};
    } catch (const std::exception& error) {
        return Fault{kErrPrinter, error.what()};
    }
}

}  // namespace

OposPrinterRoutines::OposPrinterRoutines(PosPrinter& printer, Pinger& pinger, WaitPause& pause,
                                         const PrintLog& log, Operator& op,
                                         OposRoutineOptions options)
    : printer_(printer),
      pinger_(pinger),
      pause_(pause),
      log_(log),
      operator_(op),
      options_(std::move(options)) {}

bool OposPrinterRoutines::OpenOpsLDN(const std::string& deviceName, const std::string& address) {
    bool opened = false;
    bool touched = false;
    lastFault_ = PrintFault::None;
    auto fault = Caught([&] {
        if (!pinger_.PingAddress(address)) {
            lastFault_ = PrintFault::Unreachable;
            return;
        }
        touched = true;
        printer_.Open(deviceName, address);
        printer_.ClaimDevice(options_.claimTimeoutMs);
        printer_.SetDeviceEnabled(true);
        if (printer_.CheckHealth(OPOS_CH_INTERNAL) != 0) {
            lastFault_ = printer_.Fault();
            printer_.SetDeviceEnabled(false);
            printer_.Close();
            return;
        }
        if (printer_.ResultCode() != 0) {
            lastFault_ = printer_.Fault();
            // Said once when the printer starts failing, not on every try.
            if (!openFailing_) {
                log_.WriteLog("Error Open '" + deviceName + "'");
            }
            openFailing_ = true;
            if (options_.pauseOnBadResult) {
                pause_.Pause();
            }
            printer_.SetDeviceEnabled(false);
            printer_.Close();
            return;
        }
        opened = true;
        openFailing_ = false;
    });
    if (!fault) {
        return opened;
    }
    lastFault_ = PrintFault::Failed;
    // False promises that nothing is left open; the fault itself is what the
    // operator is told about, so a second one while closing is not.
    if (touched) {
        Caught([&] {
            printer_.SetDeviceEnabled(false);
            printer_.Close();
        });
    }
    operator_.ShowErrorReport(options_.owner, fault->number, fault->description, "OpenOpsLDN");
    return false;
}

void OposPrinterRoutines::CloseOpsLDN() {
    auto fault = Caught([&] {
        printer_.AwaitRelease();
        printer_.SetDeviceEnabled(false);
        printer_.Close();
    });
    if (fault) {
        operator_.ShowErrorReport(options_.owner, fault->number, fault->description, "CloseOpsLDN");
    }
}

void OposPrinterRoutines::PrintOposTicket(TicketBuffers& ticket, const PrinterCodes& codes,
                                          const std::function<bool()>& mayStart) {
    ticket.PrintFailed = true;
    lastFault_ = PrintFault::Failed;
    sentTicket_ = false;
    if (ticket.RTF.empty()) {
        CloseOpsLDN();
        return;
    }
    auto fault = Caught([&] {
        if (printer_.CheckHealth(OPOS_CH_INTERNAL) != 0 || printer_.CoverOpen()) {
            lastFault_ = printer_.CoverOpen() ? PrintFault::CoverOpen : printer_.Fault();
            return;
        }
        if (mayStart && !mayStart()) {
            lastFault_ = PrintFault::NotLeased;
            return;
        }
        sentTicket_ = true;
        for (const auto& entry : ticket.List3) {
            printer_.PrintNormal(PTR_S_RECEIPT, entry);
        }
        printer_.PrintNormal(PTR_S_RECEIPT, printer_.CapRecPapercut() ? codes.CodeFeedCut : "\r\n");
        ticket.PrintFailed = printer_.ResultCode() != 0;
        lastFault_ = ticket.PrintFailed ? printer_.Fault() : PrintFault::None;
    });
    // A fault while printing leaves the items waiting: the ticket stays
    // failed, the device is closed first, then the operator hears of it.
    if (fault) {
        ticket.PrintFailed = true;
    }
    CloseOpsLDN();
    if (fault) {
        operator_.ShowErrorReport(options_.owner, fault->number, fault->description,
                                  "PrintOposTicket");
    }
}

}  // namespace kps
