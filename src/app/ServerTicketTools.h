#pragma once

#include "mainwindow/TicketTools.h"
#include "sending/PrintContext.h"
#include "sending/TicketReprinter.h"

namespace kps {

// The window's Preview and Reprint actions on a running server.
class ServerTicketTools final : public TicketTools {
  public:
    ServerTicketTools(PrintContext& ctx, TicketReprinter& reprinter)
        : ctx_(ctx), reprinter_(reprinter) {}

    std::vector<PreviewTicket> PreviewItem(const std::string& itemId) override;
    bool ReprintLast(const std::string& device) override { return reprinter_.Reprint(device, 1); }

  private:
    PrintContext& ctx_;
    TicketReprinter& reprinter_;
};

}  // namespace kps
