#pragma once

#include "printing/KitchenNoticePass.h"
#include "printing/PrintPasses.h"
#include "printing/PrintQueueDispatcher.h"

namespace kps {

// The printing half of a polling tick: the print queue dispatch and the
// kitchen notice pass.
class KitchenPrinting final : public PrintPasses {
  public:
    KitchenPrinting(PrintQueueDispatcher& dispatcher, KitchenNoticePass& notices)
        : dispatcher_(dispatcher), notices_(notices) {}

    void DispatchPrintQueue() override { dispatcher_.DispatchPrintQueue(); }
    void PrintKitchenNotices() override { notices_.PrintKitchenNotices(); }

  private:
    PrintQueueDispatcher& dispatcher_;
    KitchenNoticePass& notices_;
};

}  // namespace kps
