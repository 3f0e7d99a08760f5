#pragma once

#include <string>
#include <vector>

#include "tickets/TicketPreview.h"

namespace kps {

// What the window's Preview and Reprint actions ask of the server.
class TicketTools {
  public:
    virtual ~TicketTools() = default;

    // The tickets of the next pass that would carry waiting item `itemId`.
    virtual std::vector<PreviewTicket> PreviewItem(const std::string& itemId) = 0;

    // Sends the last ticket of `device` again; false when none is kept.
    virtual bool ReprintLast(const std::string& device) = 0;
};

}  // namespace kps
