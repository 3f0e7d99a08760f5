#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "status/StatusSnapshot.h"

namespace kps {

// An alert raised or ended about one printer.
struct AlertEvent {
    enum class Kind { NotPrinting, ItemsWaiting };
    Kind kind = Kind::NotPrinting;
    bool raised = true;  // false: it has ended
    std::string device;
    std::string reason;     // in words
    long long seconds = 0;  // how long it has lasted
};

// Watches the snapshots for a printer that has not printed, or whose items
// have waited without a ticket printed on it, for longer than the
// snapshot's alertAfter: one alert per outage, and one when it ends.
class PrinterAlerts {
  public:
    std::vector<AlertEvent> Check(const StatusSnapshot& snapshot, SteadyTime now);

  private:
    std::set<std::pair<std::string, AlertEvent::Kind>> raised_;
};

// The print log's line: "Alert: ..." (logged as an error) or
// "Alert ended: ...".
std::string AlertLine(const AlertEvent& event);

}  // namespace kps
