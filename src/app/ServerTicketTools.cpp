#include "app/ServerTicketTools.h"

#include <algorithm>

namespace kps {

std::vector<PreviewTicket> ServerTicketTools::PreviewItem(const std::string& itemId) {
    std::vector<PreviewTicket> tickets =
        PreviewPrintQueue(ctx_.db, ctx_.log, ctx_.clock, ctx_.op, ctx_.window, ctx_.codePage,
                          ctx_.settingsFolder, ctx_.printers);
    std::erase_if(tickets, [&](const PreviewTicket& ticket) {
        return std::find(ticket.job.itemIds.begin(), ticket.job.itemIds.end(), itemId) ==
               ticket.job.itemIds.end();
    });
    return tickets;
}

}  // namespace kps
