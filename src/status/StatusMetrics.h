#pragma once

#include <string>

#include "status/StatusSnapshot.h"

namespace kps {

// GET /metrics in the Prometheus text format (version 0.0.4): per printer
// (label "device") whether it prints, its state, waiting items, tickets
// printed, failures and seconds since its last print; for the server its
// ticks, the last tick's duration, the time since it ended and the standby.
std::string MetricsText(const StatusSnapshot& snapshot, SteadyTime now);

}  // namespace kps
