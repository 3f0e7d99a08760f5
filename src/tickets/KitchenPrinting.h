#pragma once

#include <string>
#include <utility>

#include "sending/PrintPasses.h"
#include "sending/TicketReprinter.h"
#include "sending/TicketSendingStep.h"
#include "tickets/KitchenNoticePass.h"
#include "tickets/PrintQueueDispatcher.h"

namespace kps {

// The printing half of a polling tick: settling the printers' reports and
// serving reprint requests, the print queue dispatch and the kitchen notice
// pass.
class KitchenPrinting final : public PrintPasses {
  public:
    KitchenPrinting(TicketSendingStep& sending, PrintQueueDispatcher& dispatcher,
                    KitchenNoticePass& notices)
        : sending_(sending), dispatcher_(dispatcher), notices_(notices) {}

    // Reprint requests left in `stateFolder` are served at every tick.
    void ServeReprints(TicketReprinter* reprinter, std::string stateFolder) {
        reprinter_ = reprinter;
        stateFolder_ = std::move(stateFolder);
    }

    void SettleReports() override {
        sending_.SettleReports();
        if (reprinter_ != nullptr) {
            reprinter_->TakeRequests(stateFolder_);
        }
    }
    void DispatchPrintQueue() override { dispatcher_.DispatchPrintQueue(); }
    void PrintKitchenNotices() override { notices_.PrintKitchenNotices(); }
    bool FinishSending(std::chrono::milliseconds limit) override {
        return sending_.FinishSending(limit);
    }

  private:
    TicketSendingStep& sending_;
    PrintQueueDispatcher& dispatcher_;
    KitchenNoticePass& notices_;
    TicketReprinter* reprinter_ = nullptr;
    std::string stateFolder_;
};

}  // namespace kps
