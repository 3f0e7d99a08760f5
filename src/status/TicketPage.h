#pragma once

#include <string>

#include "reprint/ReprintStore.h"

namespace kps {

// The page of a device's n-th last kept ticket: the ticket drawn as its
// paper shows it (sizes, centring, red, the cut) in HTML, under its title.
std::string TicketPageHtml(const std::string& device, long n, const StoredTicket& ticket,
                           int codePage);

}  // namespace kps
