#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "output/EncodingResources.h"
#include "output/EscPosTranslator.h"
#include "output/PosPrinter.h"
#include "output/PosPrinterRegistry.h"
#include "output/TcpConnection.h"
#include "startup/PrintLog.h"

namespace kps {

// The POS printer control for an ESC/POS receipt printer on the network
// (raw TCP, port 9100 by default). The logical device name is resolved
// through the registry; the printer's state comes from its real-time status
// answers (DLE EOT). Every exchange is bounded in time: a silent printer, a
// reset connection or a garbage answer becomes a result code, never a hang.
// When the claim could not connect, that failure stays the result code and
// CheckHealth has no printer to examine (it returns 0), so the opener reads
// the failure, logs it and gives up the device.
// A ticket the printer was asked to confirm fails only when the printer says
// it is in trouble or the connection breaks; a printer that stays silent for
// the whole wait most likely printed it, and the print log says so.
class EscPosNetworkPrinter final : public PosPrinter {
  public:
    struct Timeouts {
        int statusMs = 1000;  // each real-time status answer
        int sendMs = 1000;    // room to send, each time
        // The wait for the printer's word that a ticket came out: confirmMs
        // and confirmPerLineMs for each line of the ticket. A printer may
        // first print what an earlier connection left in its buffer, or wait
        // for a new roll, hence the half minute; an impact printer manages
        // two to five lines a second, fewer in double height, hence half a
        // second a line. Lines, not bytes: control codes take no paper.
        int confirmMs = 30000;
        int confirmPerLineMs = 500;
        int claimMs = 5000;  // a claim that asks to wait for ever
    };

    EscPosNetworkPrinter(const PosPrinterRegistry& registry, const PrintLog& log);
    EscPosNetworkPrinter(const PosPrinterRegistry& registry, const PrintLog& log,
                         Timeouts timeouts);

    long Open(const std::string& deviceName, const std::string& checkedAddress) override;
    long ClaimDevice(long timeoutMs) override;
    void SetDeviceEnabled(bool enabled) override;
    long CheckHealth(long level) override;
    long ResultCode() const override { return result_; }
    long PrintNormal(long station, const std::string& data) override;
    bool CapRecPapercut() const override;
    bool CoverOpen() const override { return coverOpen_; }
    long Close() override;
    void AwaitRelease() override;
    PrintFault Fault() const override { return fault_; }

  private:
    long Done(long code);
    long Failed(NetStatus status);
    long Usable() const;
    long QueryStatus(char n, unsigned char& status);
    long ConfirmPrinted();
    long NotConfirmed(std::string& answer, const std::string& expected);
    NetStatus ReceiveUntil(std::string& answer, std::chrono::steady_clock::time_point deadline,
                           const std::function<bool(const std::string&)>& enough);
    long SendOrFail(const std::string& bytes);

    const PosPrinterRegistry& registry_;
    const PrintLog& log_;
    Timeouts timeouts_;
    std::optional<PosDevice> device_;
    std::optional<EscPosTranslator> translator_;
    EncodingResources text_;
    TcpConnection connection_;
    bool claimed_ = false;
    bool claimFailed_ = false;
    bool enabled_ = false;
    bool jobStarted_ = false;
    bool coverOpen_ = false;
    bool printAwaited_ = false;  // the ticket's report came, or its whole wait passed
    std::size_t linesSent_ = 0;  // of the ticket not yet confirmed
    PrintFault fault_ = PrintFault::None;
    unsigned confirmations_ = 0;
    long result_ = OPOS_E_CLOSED;
};

}  // namespace kps
