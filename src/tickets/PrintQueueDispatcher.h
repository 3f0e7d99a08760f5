#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "sending/PrintContext.h"
#include "tickets/KitchenTicketComposer.h"

namespace kps {

// One pass over the waiting order items: groups them into tickets by printer
// group and ticket key (item code or table code) and composes each ticket on
// every device the group flags. Writes nothing to the database itself.
class PrintQueueDispatcher {
  public:
    PrintQueueDispatcher(PrintContext& ctx, KitchenTicketComposer& composer);

    void DispatchPrintQueue();

    // A pass that has sent for `budget` leaves the tickets it has not reached
    // for the next pass, and calls `moreLeft` to have one run at once, so
    // that a backlog does not hold up marking, notices and new orders. The
    // next pass goes on with the tickets not tried since the last pass that
    // reached the end, so none waits behind tickets that keep failing.
    // Without a limit (the preview), a pass sends everything.
    void LimitPasses(std::chrono::steady_clock::duration budget, std::function<void()> moreLeft);

    // Positions the window's device list on device `deviceCode`, rebuilds the
    // printer codes for its printing type and fills ctx.device. False, with
    // nothing changed, when the list has no such device, its name or
    // printing type is Null, or the type is not "O", "D" or "W": nothing may
    // be printed on it. An unknown type is logged once until it is mended.
    bool LoadDeviceSetting(int deviceCode);

    // "ItemCode" or "TableCode", as the last pass chose.
    const std::string& TicketKeyColumn() const { return ticketKeyColumn_; }
    // The key of the ticket handed over last.
    const Value& TicketKeyValue() const { return ticketKeyValue_; }

  private:
    using Ticket = std::pair<std::string, std::string>;  // printer group, key

    void DispatchTicket(const std::string& flags);

    PrintContext& ctx_;
    KitchenTicketComposer& composer_;
    std::string ticketKeyColumn_ = "TableCode";
    Value ticketKeyValue_;
    std::set<std::string> unknownTypes_;
    // The waiting tickets, with when a pass first found them.
    std::map<Ticket, std::chrono::steady_clock::time_point> found_;
    std::optional<std::chrono::steady_clock::duration> budget_;
    std::function<void()> moreLeft_;
    // The tickets tried since the last pass that reached the end.
    std::set<Ticket> tried_;
};

}  // namespace kps
