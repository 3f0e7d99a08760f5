#pragma once

#include <string>

#include "status/StatusSnapshot.h"

namespace kps {

// The status page "/": the server's line, every printer with its state in
// words, when it last printed and what waits for it, the waiting items as
// the window's grid shows them and the last tickets of each device, linked
// to their pages. Complete without JavaScript; a small script of its own
// refreshes it from /api/v1/status every 2 s.
std::string StatusPageHtml(const StatusSnapshot& snapshot, SteadyTime now);

}  // namespace kps
