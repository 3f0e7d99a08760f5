#pragma once

#include <vector>

#include "output/EscPosPaper.h"
#include "reprint/ReprintStore.h"

namespace kps {

// A kept ticket as its paper shows it: its lines rendered for a receipt
// printer in `codePage`, as a network printer gets them (a direct port's
// text passes the same way), read back at the ticket's width.
std::vector<PaperLine> KeptTicketPaper(const StoredTicket& ticket, int codePage);

}  // namespace kps
