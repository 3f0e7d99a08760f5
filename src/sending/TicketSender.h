#pragma once

namespace kps {

// The sending step: puts the ticket composition has just built on its way
// to the printer and settles its items.
class TicketSender {
  public:
    virtual ~TicketSender() = default;
    virtual void SendTicket() = 0;
};

}  // namespace kps
