#pragma once

#include <optional>
#include <string>

#include "output/EscPosTranslator.h"
#include "output/PosPrinter.h"
#include "output/PosPrinterRegistry.h"
#include "output/TcpConnection.h"

namespace kps {

// The POS printer control for an ESC/POS receipt printer on the network
// (raw TCP, port 9100 by default). The logical device name is resolved
// through the registry; the printer's state comes from its real-time status
// answers (DLE EOT). Every exchange is bounded in time: a silent printer, a
// reset connection or a garbage answer becomes a result code, never a hang.
// When the claim could not connect, that failure stays the result code and
// CheckHealth has no printer to examine (it returns 0), so the opener reads
// the failure, logs it and gives up the device.
class EscPosNetworkPrinter final : public PosPrinter {
  public:
    struct Timeouts {
        int statusMs = 1000;   // each real-time status answer
        int sendMs = 1000;     // room to send, each time
        int confirmMs = 5000;  // the printer's word that a ticket came out
    };

    explicit EscPosNetworkPrinter(const PosPrinterRegistry& registry);
    EscPosNetworkPrinter(const PosPrinterRegistry& registry, Timeouts timeouts);

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
    long SendOrFail(const std::string& bytes);

    const PosPrinterRegistry& registry_;
    Timeouts timeouts_;
    std::optional<PosDevice> device_;
    std::optional<EscPosTranslator> translator_;
    TcpConnection connection_;
    bool claimed_ = false;
    bool claimFailed_ = false;
    bool enabled_ = false;
    bool jobStarted_ = false;
    bool coverOpen_ = false;
    bool confirmed_ = false;  // an in-sequence answer came after the ticket
    PrintFault fault_ = PrintFault::None;
    unsigned confirmations_ = 0;
    long result_ = OPOS_E_CLOSED;
};

}  // namespace kps
