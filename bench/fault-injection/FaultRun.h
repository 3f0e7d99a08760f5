#pragma once

#include <map>
#include <string>

#include "fault-injection/CopyLedger.h"

namespace kps::bench {

struct FaultOptions {
    int faults = 100;       // at least this many are injected
    int seconds = 120;      // orders, notices and faults keep coming this long
    int drainSeconds = 60;  // then the server gets this long to print what waits
    int printMs = 50;       // each fake network printer's print time
    unsigned seed = 1;
    std::string releasePause;  // ReleasePause of the network printers when given
};

struct FaultFigures {
    CopyFigures copies;
    std::map<std::string, int> injected;  // faults by kind
    int serverStarts = 0;
    int unexpectedExits = 0;  // the server ended without being killed
    int queueFailures = 0;    // orders or notices the database did not take
    long waitingItems = 0;    // still waiting when the drain ended
    long waitingNotices = 0;
    std::string folder;  // the outlet, kept for a look
};

// One server on a fresh outlet with two network printers (each the other's
// divert printer) and a direct port, fed orders and table exchange notices
// while faults come and go; then it drains and every printed copy is
// reckoned against what was queued.
FaultFigures RunFaults(const std::string& server, const FaultOptions& options);

}  // namespace kps::bench
