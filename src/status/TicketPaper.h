#pragma once

#include <string>
#include <vector>

#include "output/EscPosPaper.h"
#include "output/PosPrinterRegistry.h"
#include "reprint/ReprintStore.h"

namespace kps {

// A kept ticket of `device` as its paper shows it: its lines rendered as
// its printer gets them, in the encoding `printers` gives the device (its
// double-byte text, its lines drawn in the registry's raster font), or in
// `codePage` without a registry, and read back at the ticket's width. A
// direct port's text passes the same way.
std::vector<PaperLine> KeptTicketPaper(const StoredTicket& ticket, const std::string& device,
                                       int codePage, const PosPrinterRegistry* printers);

}  // namespace kps
