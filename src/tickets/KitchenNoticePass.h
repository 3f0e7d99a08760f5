#pragma once

#include <set>
#include <string>

#include "sending/PrintContext.h"
#include "sending/TicketSendingStep.h"
#include "tickets/PrintQueueDispatcher.h"
#include "tickets/TableExchangeTicket.h"

namespace kps {

// The notice pass of every polling tick: prints each waiting kitchen notice
// as a table exchange ticket on every device its printer group flags. The
// notice is marked printed once every usable one of them has taken it; a
// group flagging no usable device leaves it waiting.
class KitchenNoticePass {
  public:
    // `dispatcher` loads a device's settings, as it does for kitchen tickets;
    // a flagged position without a usable device is passed over.
    KitchenNoticePass(PrintContext& ctx, PrintQueueDispatcher& dispatcher,
                      TicketSendingStep& sending);

    // One pass over the waiting notices, in the order the database returns
    // them. A device that did not take a notice gets it again on a later
    // pass; one that took it never gets it twice.
    void PrintKitchenNotices();

  private:
    void FillGridRow(std::size_t k, const Recordset& notice);
    void PrintOnFlaggedDevices(int k, const std::string& id, const std::string& flags);

    PrintContext& ctx_;
    PrintQueueDispatcher& dispatcher_;
    TicketSendingStep& sending_;
    TableExchangeTicket ticket_;
    std::set<std::string> withoutGroup_;    // notices already logged as having no group
    std::set<std::string> withoutPrinter_;  // ... as having no device that can take them
};

}  // namespace kps
