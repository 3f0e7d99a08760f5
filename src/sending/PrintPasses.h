#pragma once

#include <chrono>

namespace kps {

// What a polling tick asks of the printing subsystem.
class PrintPasses {
  public:
    virtual ~PrintPasses() = default;
    // Acts on what the printers reported since the last tick.
    virtual void SettleReports() = 0;
    virtual void DispatchPrintQueue() = 0;
    virtual void PrintKitchenNotices() = 0;
    // Shut-down: lets the printers finish, at most `limit`; false when one
    // was still busy.
    virtual bool FinishSending(std::chrono::milliseconds limit) = 0;
};

}  // namespace kps
