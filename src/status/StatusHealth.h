#pragma once

#include <optional>
#include <string>

#include "status/StatusSnapshot.h"

namespace kps {

// A server is healthy while its ticks go on: one ended at most this long ago.
constexpr std::chrono::seconds kHealthyTickAge{5};

struct Health {
    bool healthy = false;
    // Healthy: "Printing for this outlet" or the standby line; else why not.
    std::string text;
};

Health HealthOf(const StatusSnapshot& snapshot, SteadyTime now);

double SecondsSinceTick(const StatusSnapshot& snapshot, SteadyTime now);

// Nothing for a printer that has not printed since the server started.
std::optional<double> SecondsSinceLastPrint(const StatusSnapshot& snapshot,
                                            const PrinterStatus& printer, SteadyTime now);

}  // namespace kps
