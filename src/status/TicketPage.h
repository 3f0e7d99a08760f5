#pragma once

#include <string>

#include "output/PosPrinterRegistry.h"
#include "reprint/ReprintStore.h"

namespace kps {

// The page of a device's n-th last kept ticket: the ticket drawn as its
// paper shows it (sizes, centring, red, drawn lines, the cut) in HTML,
// under its title; read in the device's encoding as KeptTicketReader reads it.
std::string TicketPageHtml(const std::string& device, long n, const StoredTicket& ticket,
                           int codePage, const PosPrinterRegistry* printers);

}  // namespace kps
