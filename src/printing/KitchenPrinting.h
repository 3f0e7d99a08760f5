#pragma once

#include "printing/KitchenNoticePass.h"
#include "printing/PrintPasses.h"
#include "printing/PrintQueueDispatcher.h"
#include "printing/TicketSendingStep.h"

namespace kps {

// The printing half of a polling tick: settling the printers' reports, the
// print queue dispatch and the kitchen notice pass.
class KitchenPrinting final : public PrintPasses {
  public:
    KitchenPrinting(TicketSendingStep& sending, PrintQueueDispatcher& dispatcher,
                    KitchenNoticePass& notices)
        : sending_(sending), dispatcher_(dispatcher), notices_(notices) {}

    void SettleReports() override { sending_.SettleReports(); }
    void DispatchPrintQueue() override { dispatcher_.DispatchPrintQueue(); }
    void PrintKitchenNotices() override { notices_.PrintKitchenNotices(); }
    bool FinishSending(std::chrono::milliseconds limit) override {
        return sending_.FinishSending(limit);
    }

  private:
    TicketSendingStep& sending_;
    PrintQueueDispatcher& dispatcher_;
    KitchenNoticePass& notices_;
};

}  // namespace kps
