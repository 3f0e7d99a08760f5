#pragma once

#include "printing/PrintContext.h"
#include "printing/PrintQueueDispatcher.h"
#include "printing/TableExchangeTicket.h"

namespace kps {

// The notice pass of every polling tick: prints each waiting kitchen notice
// as a table exchange ticket on every device its printer group flags, then
// marks the notice printed.
class KitchenNoticePass {
  public:
    // `dispatcher` loads a device's settings, as it does for kitchen tickets;
    // a flagged position without a usable device is passed over.
    KitchenNoticePass(PrintContext& ctx, PrintQueueDispatcher& dispatcher);

    // One pass over the waiting notices, in the order the database returns
    // them. A notice is marked printed also when a device did not take its
    // ticket; each such device is named in the print log.
    void PrintKitchenNotices();

  private:
    void FillGridRow(std::size_t k, const Recordset& notice);
    void PrintOnFlaggedDevices(int k, const std::string& flags);

    PrintContext& ctx_;
    PrintQueueDispatcher& dispatcher_;
    TableExchangeTicket ticket_;
};

}  // namespace kps
