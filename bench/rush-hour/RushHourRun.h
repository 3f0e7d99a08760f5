#pragma once

#include <map>
#include <string>

#include "harness/DatabaseChoice.h"
#include "harness/Spread.h"

namespace kps::bench {

struct RushHourOptions {
    int orders = 200;        // (a) orders at random moments
    int burst = 20;          // (b) tables queued at once on one network printer
    int stallOrders = 30;    // (c) orders while one network printer stalls
    int idleSeconds = 60;    // (d) span of the idle measurement
    int printMs = 150;       // each fake printer's print time
    int drainSeconds = 900;  // longest wait for the tickets of a phase
    double minGap = 0.3;     // seconds between orders
    double maxGap = 2.5;
    unsigned seed = 1;
    std::string releasePause;  // ReleasePause of the network printers when given
    DatabaseChoice database;
};

// The figures of one server: latencies in milliseconds from an order's
// commit to its ticket's first ESC @ at a printer.
struct RushHourFigures {
    std::map<std::string, Spread> perPrinter;  // (a), by "NAME (kind)"
    std::map<std::string, long> missing;       // (a) tickets that never came, by printer
    double burstMs = -1;                       // (b) -1: not every ticket came
    long burstMissing = 0;
    Spread healthyWhileStalled;  // (c)
    long stalledMissing = 0;     // (c) healthy printers' tickets that never came
    double idleCpuPercent = 0;   // (d) of one core
    long idlePeakKb = 0;         // (d) peak resident size
};

// Runs the phases (a) to (c) on one fresh outlet and (d) on another.
RushHourFigures RunRushHour(const std::string& server, const RushHourOptions& options);

}  // namespace kps::bench
